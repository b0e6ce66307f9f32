// Group handlers whose actions are not built yet: the dispatch reaches them, and
// they do nothing until the input, key map and launching code lands.
#include "shell/form1.h"

namespace shell {

void TForm1::MediaPageButton(std::uint8_t, std::uint8_t) {}
void TForm1::TypeText(std::string_view) {}
void TForm1::MovePointer(std::int8_t, std::int8_t) {}
void TForm1::LeftClick() {}
void TForm1::RightClick() {}
void TForm1::TurnWheel(bool) {}
void TForm1::LaunchUtility(std::uint8_t) {}
void TForm1::CloseUtility(std::uint8_t) {}

}  // namespace shell
