#include "platform/win32/win32_dialog_parts.h"

namespace platform::win32 {

std::unique_ptr<WindowClass> DialogClass(const char* name, WNDPROC procedure) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = name;
  window_class.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  return std::make_unique<WindowClass>(window_class);
}

HWND DialogChild(HWND parent, const wchar_t* window_class, const std::wstring& text, DWORD style,
                 int id) {
  HWND child = CreateWindowExW(0, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                               10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (child != nullptr) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
  }
  return child;
}

}  // namespace platform::win32
