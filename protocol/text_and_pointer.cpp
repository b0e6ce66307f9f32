#include "protocol/text_and_pointer.h"

#include <string>

#include "input/virtual_keys.h"

namespace protocol {

TTextAndPointer::TTextAndPointer(platform::IInput& input, platform::IClipboard& clipboard,
                                 input::TInputSender& sender)
    : input_(input), sender_(sender), clipboard_(clipboard) {}

void TTextAndPointer::TypeText(std::string_view text) {
  // A clipboard that cannot be opened ends the command here: no Ctrl+V.
  clipboard_.SetAsText(std::string(text));
  sender_.SendChord2(input::vk::Ctrl, input::vk::V);
}

void TTextAndPointer::MovePointer(std::int8_t dx, std::int8_t dy) {
  // When the read fails the last known position stands; the system clips the
  // new position to the screen.
  input_.GetCursorPos(CursorPos);
  CursorPos.x += dx;
  CursorPos.y += dy;
  input_.SetCursorPos(CursorPos.x, CursorPos.y);
}

void TTextAndPointer::LeftClick() {
  sender_.SendMouse(platform::kMouseLeftDown, 0);
  sender_.SendMouse(platform::kMouseLeftUp, 0);
}

void TTextAndPointer::RightClick() {
  sender_.SendMouse(platform::kMouseRightDown, 0);
  sender_.SendMouse(platform::kMouseRightUp, 0);
}

void TTextAndPointer::TurnWheel(bool toward_user) {
  sender_.SendMouse(platform::kMouseWheel,
                    toward_user ? -platform::kWheelDelta : platform::kWheelDelta);
}

}  // namespace protocol
