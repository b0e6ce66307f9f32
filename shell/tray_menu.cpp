// The tray icon's handlers: the address line refresh, "Exit" and the balloons.
#include "shell/address_list.h"
#include "shell/form1.h"

namespace shell {

void TForm1::TrayIcon1MouseDown(TMouseButton button, int, int) {
  if (button != TMouseButton::mbRight) return;
  // The press comes before the release that opens the menu: every menu shows
  // the addresses as they are now.
  IpList = LocalAddressList(platform_.sockets, ComputerName);
  IP1.Caption = IpList;
  RefreshDevicesMenu();
}

void TForm1::Exit1Click() { application_.Terminate(); }

void TForm1::ShowBalloon(const std::string& title, const std::string& text) {
  TrayIcon1.ShowBalloon(title, text);
}

}  // namespace shell
