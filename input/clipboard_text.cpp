#include "input/clipboard_text.h"

#include <cstdint>
#include <thread>

#include "platform/framework_error.h"

namespace input {

TClipboard::TClipboard(platform::IClipboard& system,
                       std::function<void(std::chrono::milliseconds)> pause)
    : system_(system), pause_(std::move(pause)) {}

void TClipboard::DefaultPause(std::chrono::milliseconds pause) {
  std::this_thread::sleep_for(pause);
}

// Clipboard managers and remote-desktop clients hold the clipboard for a few
// milliseconds at a time: a bounded number of tries rides that out without
// ever holding up the host for long.
std::unique_ptr<platform::TOpenClipboard> TClipboard::Open() {
  for (int attempt = 1; attempt <= kOpenTries; ++attempt) {
    auto open = std::make_unique<platform::TOpenClipboard>(system_);
    if (open->IsOpen()) return open;
    if (attempt < kOpenTries) pause_(kRetryPause);
  }
  throw platform::EFrameworkError(kCannotOpenClipboard);
}

void TClipboard::SetAsText(const std::string& text) {
  const std::unique_ptr<platform::TOpenClipboard> open = Open();
  PutFormats(text);
}

void TClipboard::SetAsUnicodeText(const std::u16string& text) {
  const std::unique_ptr<platform::TOpenClipboard> open = Open();
  system_.Empty();
  system_.SetText(platform::TextFormat::Unicode, text.c_str(),
                  (text.size() + 1) * sizeof(char16_t));
  KeepOutOfHistory();
}

void TClipboard::PutFormats(const std::string& text) {
  system_.Empty();
  system_.SetText(platform::TextFormat::Ansi, text.c_str(), text.size() + 1);
  std::u16string wide = system_.AnsiToUtf16(text);
  system_.SetText(platform::TextFormat::Unicode, wide.c_str(),
                  (wide.size() + 1) * sizeof(char16_t));
  KeepOutOfHistory();
}

void TClipboard::KeepOutOfHistory() {  // Typed text may be a password: keep it out of clipboard
                                       // history, cloud
  // clipboard and clipboard monitors.
  const std::uint32_t no = 0;
  for (const char* name : {"ExcludeClipboardContentFromMonitorProcessing",
                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
    if (unsigned format = system_.RegisterFormat(name); format != 0) {
      system_.SetRegistered(format, &no, sizeof no);
    }
  }
}

}  // namespace input
