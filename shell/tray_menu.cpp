// The tray menu: one table holds every item's place, caption, mark and
// handler. A handler lives in the file of what it changes (autostart.cpp,
// device_access.cpp), or here when it belongs to the tray itself.
#include "shell/address_list.h"
#include "shell/form1.h"

namespace shell {
namespace {

struct MenuRow {
  TMenuItem TForm1::*item;
  const char* caption;
  bool checked;
  bool auto_check;          // the menu flips the mark before the handler runs
  void (TForm1::*click)();  // none: the item only shows something
};

// In the order the menu shows them.
constexpr MenuRow kTrayMenu[] = {
    {&TForm1::Label1, " Local IP Address", false, false, nullptr},
    {&TForm1::IP1, " 0.0.0.0", false, false, nullptr},
    {&TForm1::N1, "-", false, false, nullptr},
    {&TForm1::AskFirst1, "Ask before a new device takes control", true, true,
     &TForm1::AskFirst1Click},
    {&TForm1::Devices1, "Devices", false, false, nullptr},
    {&TForm1::Pause1, "Pause remote control\tCtrl+Alt+Shift+P", false, true, &TForm1::Pause1Click},
    {&TForm1::Balloons1, "Show connection balloons", true, true, &TForm1::Balloons1Click},
    {&TForm1::OpenLog1, "Open activity log", false, false, &TForm1::OpenLog1Click},
    {&TForm1::Help1, "Connection help\xE2\x80\xA6", false, false, &TForm1::Help1Click},
    {&TForm1::StartRun1, "Run with windows start", true, true, &TForm1::StartRun1Click},
    {&TForm1::Exit1, "Exit", false, false, &TForm1::Exit1Click},
};

}  // namespace

void TForm1::BuildTrayMenu() {
  PopupMenu1.Items.clear();
  for (const MenuRow& row : kTrayMenu) {
    TMenuItem& item = this->*row.item;
    item = TMenuItem(row.caption, row.checked, row.auto_check);
    if (row.click != nullptr) item.OnClick = [this, click = row.click] { (this->*click)(); };
    PopupMenu1.Items.push_back(&item);
  }
}

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
