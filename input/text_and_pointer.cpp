#include "input/text_and_pointer.h"

#include <algorithm>
#include <string>

#include "platform/virtual_keys.h"

namespace input {

TTextAndPointer::TTextAndPointer(platform::IInput& input, platform::IClipboard& clipboard,
                                 input::TInputSender& sender)
    : input_(input), sender_(sender), clipboard_(clipboard) {}

void TTextAndPointer::TypeText(std::string_view text) {
  // A clipboard that cannot be opened ends the command here: no Ctrl+V.
  clipboard_.SetAsText(std::string(text));
  sender_.SendChord2(platform::vk::Ctrl, platform::vk::V);
}

void TTextAndPointer::TypeUnicodeText(const std::u16string& text) {
  clipboard_.SetAsUnicodeText(text);
  sender_.SendChord2(platform::vk::Ctrl, platform::vk::V);
}

void TTextAndPointer::MovePointer(int dx, int dy) {
  // When the read fails (a locked session) the last known position stands and
  // the moves add up on it: kept on the screen, it can never overflow.
  input_.GetCursorPos(CursorPos);
  const platform::TRect screen = input_.VirtualScreen();
  CursorPos.x = std::clamp(CursorPos.x + dx, screen.left, std::max(screen.left, screen.right - 1));
  CursorPos.y = std::clamp(CursorPos.y + dy, screen.top, std::max(screen.top, screen.bottom - 1));
  input_.SetCursorPos(CursorPos.x, CursorPos.y);
}

void TTextAndPointer::LeftClick() {
  sender_.SendMouse(platform::PointerAction::LeftDown, 0);
  sender_.SendMouse(platform::PointerAction::LeftUp, 0);
}

void TTextAndPointer::RightClick() {
  sender_.SendMouse(platform::PointerAction::RightDown, 0);
  sender_.SendMouse(platform::PointerAction::RightUp, 0);
}

void TTextAndPointer::TurnWheel(bool toward_user) {
  sender_.SendMouse(platform::PointerAction::Wheel,
                    toward_user ? -platform::kWheelDelta : platform::kWheelDelta);
}

}  // namespace input
