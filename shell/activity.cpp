// The activity log as the form writes it, and the menu item that opens it.
#include "shell/form1.h"

namespace shell {

void TForm1::NoteActivity(std::uint32_t address, activity::Activity what,
                          const std::string& detail) {
  const std::string hardware = address != 0 ? Neighbours.HardwareAddress(address) : "";
  Log.Note({address, hardware}, what, detail);
}

// In the editor Windows opens .log files with, else in Notepad, which every
// Windows has. Nothing is shown when neither starts: the menu item simply
// does nothing more.
void TForm1::OpenLog1Click() {
  const std::string& path = Log.Path();
  if (launch::Started(platform_.shell.Execute("open", path, "", "", platform::ShowAs::Normal))) {
    return;
  }
  platform_.shell.Execute("open", "notepad.exe", "\"" + path + "\"", "", platform::ShowAs::Normal);
}

}  // namespace shell
