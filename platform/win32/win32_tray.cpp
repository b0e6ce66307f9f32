#include "platform/win32/win32_tray.h"

#include <shellapi.h>

#include <cstring>

#include "platform/framework_error.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TTrayIconWindow";
constexpr UINT kIconId = 1;

void CopyText(char* target, std::size_t size, const std::string& text) {
  std::strncpy(target, text.c_str(), size - 1);
  target[size - 1] = 0;
}

// Items are numbered depth first from 1, submenus included, as the portable
// menu counts them. A submenu belongs to its parent once appended, and goes
// with it.
bool AppendEntries(HMENU menu, const std::vector<MenuEntry>& entries, UINT& next_id) {
  for (const MenuEntry& entry : entries) {
    const UINT id = next_id++;
    const UINT state = (entry.checked ? MF_CHECKED : MF_UNCHECKED) | (entry.enabled ? 0 : MF_GRAYED);
    if (entry.caption == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!entry.children.empty()) {
      UniqueMenu submenu(CreatePopupMenu());
      if (!submenu || !AppendEntries(submenu.get(), entry.children, next_id)) return false;
      if (!AppendMenuA(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(submenu.get()),
                       entry.caption.c_str())) {
        return false;
      }
      submenu.release();
    } else {
      AppendMenuA(menu, MF_STRING | state, id, entry.caption.c_str());
    }
  }
  return true;
}

}  // namespace

LRESULT CALLBACK Win32NotificationArea::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<Win32NotificationArea*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && self->handler_) {
    bool handled = false;
    // An error out of a handler would cross the system's code: show it here
    // and go on, as the message loop does for every other event.
    try {
      LRESULT result = self->handler_(message, w, l, handled);
      if (handled) return result;
    } catch (const EFrameworkError& error) {
      self->show_error_(error.what());
      return 0;
    }
  }
  return DefWindowProcA(window, message, w, l);
}

void Win32NotificationArea::CreateIconWindow(Handler handler) {
  handler_ = std::move(handler);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClass;
  class_ = std::make_unique<WindowClass>(window_class);
  if (!class_->Registered()) throw EFrameworkError("Cannot register the tray icon's window class");
  window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!window_) throw EFrameworkError("Cannot create the tray icon's window");
  SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Win32NotificationArea::DestroyIconWindow() { window_.reset(); }

bool Win32NotificationArea::Notify(unsigned action, const TrayIconData& data) {
  NOTIFYICONDATAA record{};
  // The version-2 layout at this build's size (504 bytes on x86_64): with any
  // other size the shell falls back to the oldest layout and drops balloons.
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = window_.get();
  record.uID = kIconId;
  record.uFlags = data.flags;
  record.uCallbackMessage = data.callback_message;
  if (data.with_icon) {
    record.hIcon = LoadIconA(GetModuleHandleA(nullptr), data.paused_icon ? "PAUSEDICON" : "MAINICON");
  }
  CopyText(record.szTip, sizeof record.szTip, data.tip);
  CopyText(record.szInfo, sizeof record.szInfo, data.info);
  CopyText(record.szInfoTitle, sizeof record.szInfoTitle, data.info_title);
  record.uTimeout = data.timeout_ms;
  record.dwInfoFlags = data.info_flags;
  return Shell_NotifyIconA(action, &record) != FALSE;
}

unsigned Win32NotificationArea::TaskbarCreatedMessage() {
  return RegisterWindowMessageA("TaskbarCreated");
}

int Win32NotificationArea::TrackPopupMenu(const std::vector<MenuEntry>& entries, int x, int y) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return -1;
  UINT next_id = 1;
  if (!AppendEntries(menu.get(), entries, next_id)) return -1;
  // In front first, and a null message after, so that the menu closes when
  // the user clicks elsewhere.
  SetForegroundWindow(window_.get());
  int chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y,
                                0, window_.get(), nullptr);
  PostMessageA(window_.get(), WM_NULL, 0, 0);
  return chosen - 1;
}

}  // namespace platform::win32
