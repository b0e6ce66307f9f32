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

TTrayIcon::TTrayIcon(platform::INotificationArea& area, platform::IInput& input)
    : area_(area), input_(input) {
  area_.CreateIconWindow([this](unsigned message, std::uintptr_t w, std::intptr_t l, bool& handled) {
    return HandleMessage(message, w, l, handled);
  });
  taskbar_created_ = area_.TaskbarCreatedMessage();
}

TTrayIcon::~TTrayIcon() {
  Remove();
  area_.DestroyIconWindow();
}

bool TTrayIcon::Add() {
  platform::TrayIconData data;
  data.flags = platform::kNotifyMessage | platform::kNotifyIcon;
  data.callback_message = kCallbackMessage;
  data.with_icon = true;
  shown_ = area_.Notify(platform::kNotifyAdd, data);
  // An icon added again after an Explorer restart still says it is paused.
  if (shown_ && paused_) SetPaused(true);
  return shown_;
}

void TTrayIcon::SetPaused(bool paused) {
  paused_ = paused;
  platform::TrayIconData data;
  data.flags = platform::kNotifyIcon | platform::kNotifyTip;
  data.with_icon = true;
  data.paused_icon = paused;
  data.tip = paused ? kPausedTip : "";
  area_.Notify(platform::kNotifyModify, data);
}

void TTrayIcon::Show() {
  wanted_ = true;
  if (!Add()) throw platform::EFrameworkError(kCannotCreateTrayIcon);
}

void TTrayIcon::SetApplicationIcon() {
  platform::TrayIconData data;
  data.flags = platform::kNotifyMessage | platform::kNotifyIcon;
  data.callback_message = kCallbackMessage;
  data.with_icon = true;
  area_.Notify(platform::kNotifyModify, data);
}

void TTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  platform::TrayIconData data;
  data.flags = platform::kNotifyInfo;
  data.info = text.substr(0, 255);
  data.info_title = title.substr(0, 63);
  data.timeout_ms = kBalloonTimeoutMs;
  data.info_flags = platform::kInfoIcon;
  // A balloon the shell refuses is lost: there is no other way to tell the user.
  area_.Notify(platform::kNotifyModify, data);
}

void TTrayIcon::Remove() {
  if (!shown_) return;
  area_.Notify(platform::kNotifyDelete, {});
  shown_ = false;
}

void TTrayIcon::MouseMessage(unsigned mouse_message) {
  platform::TPoint at;
  switch (mouse_message) {
    case platform::kMessageRightButtonDown:
      input_.GetCursorPos(at);
      if (OnMouseDown) OnMouseDown(TMouseButton::mbRight, at.x, at.y);
      break;
    case platform::kMessageLeftButtonDown:
    case platform::kMessageMiddleButtonDown:
      input_.GetCursorPos(at);
      if (OnMouseDown) {
        OnMouseDown(mouse_message == platform::kMessageLeftButtonDown ? TMouseButton::mbLeft
                                                              : TMouseButton::mbMiddle,
                    at.x, at.y);
      }
      break;
    case platform::kMessageRightButtonUp:
      // Screen coordinates from the cursor, never from the message: they are
      // negative on monitors left of the primary one.
      input_.GetCursorPos(at);
      if (PopupMenu) PopupMenu->Popup(area_, at.x, at.y);
      break;
    default:
      break;
  }
}

std::intptr_t TTrayIcon::HandleMessage(unsigned message, std::uintptr_t w, std::intptr_t l,
                                       bool& handled) {
  handled = true;
  if (message == kCallbackMessage) {
    MouseMessage(static_cast<unsigned>(l & 0xFFFF));
    return 0;
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    // Explorer restarted: without the icon, the addresses and "Exit" are gone.
    // A failed add here has nobody to tell; the next restart tries again.
    if (wanted_) Add();
    return 0;
  }
  if (message == platform::kMessageQueryEndSession) return 1;
  if (message == platform::kMessageEndSession) {
    // wParam FALSE: someone cancelled the logoff, and the session goes on
    // with the icon where it was.
    if (w != 0) {
      wanted_ = false;
      Remove();
    }
    return 0;
  }
  handled = false;
  return 0;
}

}  // namespace shell
