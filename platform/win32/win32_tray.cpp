#include "platform/win32/win32_tray.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/framework_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TTrayIconWindow";
constexpr UINT kIconId = 1;
constexpr UINT kCallbackMessage = WM_USER + 1;

HICON IconOf(TrayIconState state) {
  const char* name = "MAINICON";
  if (state == TrayIconState::Paused) name = "PAUSEDICON";
  if (state == TrayIconState::InUse) name = "INUSEICON";
  return LoadIconA(GetModuleHandleA(nullptr), name);
}

// The host's texts are UTF-8 (the tip's dash among them); the shell takes
// UTF-16. Cut to the field, counted in characters, never inside a surrogate
// pair.
void CopyText(wchar_t* target, std::size_t size, const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  std::size_t count = std::min<std::size_t>(std::max(length, 0), size - 1);
  if (count > 0 && count < static_cast<std::size_t>(length) && wide[count - 1] >= 0xD800 &&
      wide[count - 1] <= 0xDBFF) {
    --count;
  }
  std::wmemcpy(target, wide.data(), count);
  target[count] = 0;
}

template <std::size_t N>
void CopyText(wchar_t (&field)[N], const std::string& text) {
  CopyText(field, N, text);
}

// A caption as the menu shows it: no row uses a mnemonic, so an "&" (in a
// device's name, say) is shown as itself instead of underlining what follows.
std::wstring MenuCaption(const std::string& caption) {
  std::wstring shown;
  for (wchar_t c : Utf8ToWide(caption)) {
    shown += c;
    if (c == L'&') shown += L'&';
  }
  return shown;
}

// Items are numbered depth first from 1, submenus included, as the portable
// menu counts them. A submenu belongs to its parent once appended, and goes
// with it.
bool AppendEntries(HMENU menu, const std::vector<MenuEntry>& entries, UINT& next_id) {
  for (const MenuEntry& entry : entries) {
    const UINT id = next_id++;
    const UINT state =
        (entry.checked ? MF_CHECKED : MF_UNCHECKED) | (entry.enabled ? 0 : MF_GRAYED);
    if (entry.caption == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!entry.children.empty()) {
      UniqueMenu submenu(CreatePopupMenu());
      if (!submenu || !AppendEntries(submenu.get(), entry.children, next_id)) return false;
      if (!AppendMenuW(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(submenu.get()),
                       MenuCaption(entry.caption).c_str())) {
        return false;
      }
      submenu.release();
    } else {
      AppendMenuW(menu, MF_STRING | state, id, MenuCaption(entry.caption).c_str());
    }
  }
  return true;
}

}  // namespace

LRESULT CALLBACK Win32NotificationArea::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = HiddenWindow::OwnerOf<Win32NotificationArea>(window);
  TrayEvent event;
  if (self == nullptr || !self->handler_ || !self->EventOf(message, w, l, event)) {
    // Also WM_QUERYENDSESSION: the default answer lets the session end.
    return DefWindowProcA(window, message, w, l);
  }
  // An error out of a handler would cross the system's code: show it here
  // and go on, as the message loop does for every other event.
  try {
    self->handler_(event);
  } catch (const EFrameworkError& error) {
    self->show_error_(error.what());
  }
  return 0;
}

bool Win32NotificationArea::EventOf(UINT message, WPARAM w, LPARAM l, TrayEvent& event) const {
  using Kind = TrayEvent::Kind;
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    event.kind = Kind::TaskbarRecreated;
    return true;
  }
  if (message == WM_ENDSESSION) {
    // wParam FALSE: someone cancelled the logoff.
    event.kind = w != 0 ? Kind::SessionEnding : Kind::SessionEndCancelled;
    return true;
  }
  if (message != kCallbackMessage) return false;
  event.kind = Kind::ButtonDown;
  switch (LOWORD(l)) {
    case WM_LBUTTONDOWN: event.button = TrayButton::Left; break;
    case WM_RBUTTONDOWN: event.button = TrayButton::Right; break;
    case WM_MBUTTONDOWN: event.button = TrayButton::Middle; break;
    case WM_RBUTTONUP: event.kind = Kind::MenuRequested; break;
    default: return false;
  }
  // Screen coordinates from the cursor, never from the message: they are
  // negative on monitors left of the primary one.
  POINT at{};
  GetCursorPos(&at);
  event.x = at.x;
  event.y = at.y;
  return true;
}

void Win32NotificationArea::CreateIconWindow(Handler handler) {
  handler_ = std::move(handler);
  taskbar_created_ = RegisterWindowMessageA("TaskbarCreated");
  if (!window_.Create(kClass, Procedure, this, HiddenWindow::Kind::TopLevel,
                      {WS_EX_TOOLWINDOW, "", nullptr, {}})) {
    throw EFrameworkError("Cannot create the tray icon's window");
  }
}

void Win32NotificationArea::DestroyIconWindow() { window_.Destroy(); }

NOTIFYICONDATAW Win32NotificationArea::Record(UINT flags) const {
  NOTIFYICONDATAW record{};
  // The version-2 layout at this build's size: with any other size the shell
  // falls back to the oldest layout and drops balloons.
  record.cbSize = NOTIFYICONDATAW_V2_SIZE;
  record.hWnd = window_.Get();
  record.uID = kIconId;
  record.uFlags = flags;
  return record;
}

bool Win32NotificationArea::Notify(DWORD action, NOTIFYICONDATAW& record) {
  return Shell_NotifyIconW(action, &record) != FALSE;
}

bool Win32NotificationArea::AddIcon(TrayIconState state, const std::string& tip) {
  NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | (tip.empty() ? 0 : NIF_TIP));
  record.uCallbackMessage = kCallbackMessage;
  record.hIcon = IconOf(state);
  CopyText(record.szTip, tip);
  return Notify(NIM_ADD, record);
}

bool Win32NotificationArea::ChangeIcon(TrayIconState state, const std::string& tip) {
  NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  record.uCallbackMessage = kCallbackMessage;
  record.hIcon = IconOf(state);
  CopyText(record.szTip, tip);
  return Notify(NIM_MODIFY, record);
}

bool Win32NotificationArea::ShowBalloon(const std::string& title, const std::string& text,
                                        unsigned timeout_ms) {
  NOTIFYICONDATAW record = Record(NIF_INFO);
  CopyText(record.szInfo, text);
  CopyText(record.szInfoTitle, title);
  record.uTimeout = timeout_ms;
  record.dwInfoFlags = NIIF_INFO;
  return Notify(NIM_MODIFY, record);
}

void Win32NotificationArea::RemoveIcon() {
  NOTIFYICONDATAW record = Record(0);
  Notify(NIM_DELETE, record);
}

int Win32NotificationArea::TrackPopupMenu(const std::vector<MenuEntry>& entries, int x, int y) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return -1;
  UINT next_id = 1;
  if (!AppendEntries(menu.get(), entries, next_id)) return -1;
  // In front first, and a null message after, so that the menu closes when
  // the user clicks elsewhere.
  SetForegroundWindow(window_.Get());
  int chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0,
                                window_.Get(), nullptr);
  PostMessageA(window_.Get(), WM_NULL, 0, 0);
  return chosen - 1;
}

}  // namespace platform::win32
