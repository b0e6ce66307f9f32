// Text entry through the clipboard, and the pointer commands.
#include <string>

#include "input/virtual_keys.h"
#include "shell/form1.h"

namespace shell {

void TForm1::TypeText(std::string_view text) {
  // A clipboard that cannot be opened ends the command here: no Ctrl+V.
  clipboard_.SetAsText(std::string(text));
  SendChord2(input::vk::Ctrl, input::vk::V);
}

void TForm1::MovePointer(std::int8_t dx, std::int8_t dy) {
  // When the read fails the last known position stands; the system clips the
  // new position to the screen.
  platform_.input.GetCursorPos(CursorPos);
  CursorPos.x += dx;
  CursorPos.y += dy;
  platform_.input.SetCursorPos(CursorPos.x, CursorPos.y);
}

void TForm1::LeftClick() {
  SendMouse(platform::kMouseLeftDown, 0);
  SendMouse(platform::kMouseLeftUp, 0);
}

void TForm1::RightClick() {
  SendMouse(platform::kMouseRightDown, 0);
  SendMouse(platform::kMouseRightUp, 0);
}

void TForm1::TurnWheel(bool toward_user) {
  SendMouse(platform::kMouseWheel, toward_user ? -platform::kWheelDelta : platform::kWheelDelta);
}

}  // namespace shell
