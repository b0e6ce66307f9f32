#pragma once
// Text entry through the clipboard, and the pointer commands.
#include <cstdint>
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
  void MovePointer(std::int8_t dx, std::int8_t dy);
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
