#include "platform/win32/win32_hidden_window.h"

namespace platform::win32 {

bool HiddenWindow::Create(const char* class_name, WNDPROC procedure, void* owner, Kind kind,
                          const Look& look) {
  Destroy();
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = class_name;
  window_class.hIcon = look.icon;
  class_ = std::make_unique<WindowClass>(window_class);
  if (!class_->Registered()) return false;
  const RECT& at = look.place;
  window_.reset(CreateWindowExA(look.ex_style, class_name, look.title, WS_POPUP, at.left, at.top,
                                at.right - at.left, at.bottom - at.top,
                                kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr));
  if (!window_) return false;
  SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return true;
}

void HiddenWindow::Destroy() {
  window_.reset();
  class_.reset();
}

}  // namespace platform::win32
