#include "shell/tray_icon.h"

#include "platform/framework_error.h"

namespace shell {

namespace {

// The entry of an item and its submenu; `order` gets every item depth first,
// as the platform counts the chosen one.
platform::MenuEntry EntryOf(TMenuItem& item, std::vector<TMenuItem*>& order) {
  order.push_back(&item);
  platform::MenuEntry entry{item.Caption, item.Checked, item.Enabled, {}};
  for (TMenuItem& child : item.Items) entry.children.push_back(EntryOf(child, order));
  return entry;
}

}  // namespace

void TPopupMenu::Popup(platform::INotificationArea& area, int x, int y) {
  if (OnPopup) OnPopup();
  std::vector<platform::MenuEntry> entries;
  std::vector<TMenuItem*> order;
  for (TMenuItem* item : Items) entries.push_back(EntryOf(*item, order));
  const int chosen = area.TrackPopupMenu(entries, x, y);
  if (chosen < 0 || chosen >= static_cast<int>(order.size())) return;
  TMenuItem& item = *order[static_cast<std::size_t>(chosen)];
  if (!item.Enabled || !item.Items.empty()) return;
  if (item.AutoCheck) item.Checked = !item.Checked;
  if (item.OnClick) item.OnClick();
}

TTrayIcon::TTrayIcon(platform::INotificationArea& area) : area_(area) {
  area_.CreateIconWindow([this](const platform::TrayEvent& event) { HandleEvent(event); });
}

TTrayIcon::~TTrayIcon() {
  Remove();
  area_.DestroyIconWindow();
}

// An icon added again after an Explorer restart still shows how it was.
bool TTrayIcon::Add() {
  shown_ = area_.AddIcon(state_, tip_);
  return shown_;
}

void TTrayIcon::SetLook(platform::TrayIconState state, const std::string& tip) {
  if (state == state_ && tip == tip_) return;
  state_ = state;
  tip_ = tip;
  if (shown_) area_.ChangeIcon(state_, tip_);
}

void TTrayIcon::Show() {
  wanted_ = true;
  if (!Add()) throw platform::EFrameworkError(kCannotCreateTrayIcon);
}

// A change the shell refuses means it has no such icon: it is added anew.
// A failed add has nobody to tell; the next wake or Explorer restart tries again.
void TTrayIcon::Restore() {
  if (wanted_ && !area_.ChangeIcon(state_, tip_)) Add();
}

void TTrayIcon::SetApplicationIcon() { area_.ChangeIcon(state_, tip_); }

void TTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  // A balloon the shell refuses is lost: there is no other way to tell the user.
  area_.ShowBalloon(title.substr(0, 63), text.substr(0, 255), kBalloonTimeoutMs);
}

void TTrayIcon::Remove() {
  if (!shown_) return;
  area_.RemoveIcon();
  shown_ = false;
}

void TTrayIcon::HandleEvent(const platform::TrayEvent& event) {
  using Kind = platform::TrayEvent::Kind;
  switch (event.kind) {
    case Kind::ButtonDown:
      if (OnMouseDown) {
        const TMouseButton button =
            event.button == platform::TrayButton::Right    ? TMouseButton::mbRight
            : event.button == platform::TrayButton::Middle ? TMouseButton::mbMiddle
                                                           : TMouseButton::mbLeft;
        OnMouseDown(button, event.x, event.y);
      }
      break;
    case Kind::MenuRequested:
      if (PopupMenu) PopupMenu->Popup(area_, event.x, event.y);
      break;
    case Kind::TaskbarRecreated:
      // Without the icon, the addresses and "Exit" are gone. A failed add
      // here has nobody to tell; the next restart tries again.
      if (wanted_) Add();
      break;
    case Kind::SessionEnding:
      wanted_ = false;
      Remove();
      break;
    case Kind::SessionEndCancelled: break;  // the session goes on with the icon where it was
  }
}

}  // namespace shell
