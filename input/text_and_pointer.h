#pragma once
// Text entry through the clipboard, and the pointer commands.
#include <cstdint>
#include <string>
#include <string_view>

#include "input/input_sender.h"
#include "platform/input.h"
#include "input/clipboard_text.h"

namespace input {

class TTextAndPointer {
 public:
  TTextAndPointer(platform::IInput& input, platform::IClipboard& clipboard,
                  input::TInputSender& sender);

  void TypeText(std::string_view text);
  // The same for text in UTF-8, whatever the system's code page can show.
  void TypeUnicodeText(const std::u16string& text);
  // The wire's moves are signed bytes; the browser's larger.
  void MovePointer(int dx, int dy);
  void LeftClick();
  void RightClick();
  void TurnWheel(bool toward_user);

  // The last pointer position read or set.
  platform::TPoint CursorPos{};

 private:
  platform::IInput& input_;
  input::TInputSender& sender_;
  TClipboard clipboard_;
};

}  // namespace input
