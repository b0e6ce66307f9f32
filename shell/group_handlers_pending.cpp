// Handlers whose actions are not built yet: the dispatch and the key maps reach
// them, and they do nothing until the launching code lands.
#include "shell/form1.h"

namespace shell {

void TForm1::LaunchPageApp(std::uint8_t) {}
void TForm1::ClosePageApp(std::uint8_t) {}
void TForm1::LaunchUtility(std::uint8_t) {}
void TForm1::CloseUtility(std::uint8_t) {}

}  // namespace shell
