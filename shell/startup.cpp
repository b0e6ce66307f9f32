// The constructor's steps after the components, in the host's fixed order:
// the system's kind, each capability's own start, the computer's name and
// the menu's name and address rows.
#include "shell/form1.h"

namespace shell {
namespace {

constexpr std::size_t kComputerNameBuffer = 16;

}  // namespace

void TForm1::ReadSystemSettings() {
  // The host needs a system of the NT line.
  if (!platform_.system.Version().nt) application_.Terminate();
  Input.Start();
  Media.Start();
  Launch.Start();
  ComputerName = platform_.system.ComputerName(kComputerNameBuffer);
  Label1.Caption = ComputerName + Label1.Caption;
  ReadAddresses();
  Autostart.Start();
}

}  // namespace shell
