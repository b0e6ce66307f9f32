// The tray menu: the shell's own rows around the rows of the capabilities,
// and the right button that opens it.
#include "shell/address_list.h"
#include "shell/form1.h"

namespace shell {

void TForm1::BuildTrayMenu() {
  Label1 = TMenuItem(" Local IP Address");
  IP1 = TMenuItem(" 0.0.0.0");
  N1 = TMenuItem("-");
  Exit1 = TMenuItem("Exit");
  Exit1.OnClick = [this] { Exit1Click(); };
  PopupMenu1.Items = {&Label1, &IP1, &N1};
  for (service::ICapability* capability : Capabilities()) {
    for (TMenuItem* row : capability->MenuRows()) PopupMenu1.Items.push_back(row);
  }
  PopupMenu1.Items.push_back(&Exit1);
  PopupMenu1.OnPopup = [this] {
    for (service::ICapability* capability : Capabilities()) capability->BeforeMenu();
  };
}

void TForm1::TrayIcon1MouseDown(TMouseButton button, int, int) {
  if (button != TMouseButton::mbRight) return;
  // The press comes before the release that opens the menu: every menu shows
  // the addresses as they are now.
  ReadAddresses();
}

void TForm1::ReadAddresses() {
  IpList = LocalAddressList(platform_.sockets, ComputerName);
  IP1.Caption = IpList;
}

void TForm1::ShowBalloon(const std::string& title, const std::string& text) {
  TrayIcon1.ShowBalloon(title, text);
}

}  // namespace shell
