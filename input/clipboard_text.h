#pragma once
// The application-wide clipboard object: puts text on the system clipboard.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/clipboard.h"
#include "platform/owners.h"

namespace input {

inline constexpr const char* kCannotOpenClipboard = "Cannot open clipboard";

class TClipboard {
 public:
  static constexpr int kOpenTries = 10;
  static constexpr std::chrono::milliseconds kRetryPause{10};

  explicit TClipboard(platform::IClipboard& system,
                      std::function<void(std::chrono::milliseconds)> pause = DefaultPause);

  // Replaces what is on the clipboard with `text` (ANSI), as plain and as
  // Unicode text, marked to stay out of clipboard history and cloud sync.
  // Throws EFrameworkError("Cannot open clipboard") when another program keeps
  // the clipboard through every try.
  void SetAsText(const std::string& text);
  // The same for UTF-16 text: Windows makes the ANSI form from it for
  // programs that ask for that.
  void SetAsUnicodeText(const std::u16string& text);

 private:
  static void DefaultPause(std::chrono::milliseconds pause);
  std::unique_ptr<platform::TOpenClipboard> Open();
  void PutFormats(const std::string& text);
  void KeepOutOfHistory();

  platform::IClipboard& system_;
  std::function<void(std::chrono::milliseconds)> pause_;
};

}  // namespace input
