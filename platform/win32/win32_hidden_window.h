#pragma once
// A window of the program's own that only receives messages for its owner:
// its class registered with it, and the owner reached from the window in the
// class's procedure. A message-only window is the lightest; a top-level one
// also receives broadcasts (the shell's "TaskbarCreated"), and is never shown.
#include <windows.h>

#include <memory>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {

struct HiddenWindowLook {
  DWORD ex_style = 0;
  const char* title = "";
  HICON icon = nullptr;  // the class's icon
  RECT place{};          // where a top-level window stands, never shown
};

class HiddenWindow {
 public:
  enum class Kind { MessageOnly, TopLevel };
  using Look = HiddenWindowLook;

  // Registers the class (one registered already counts), makes the window
  // and ties it to `owner`; false when either cannot be had.
  bool Create(const char* class_name, WNDPROC procedure, void* owner, Kind kind,
              const Look& look = {});
  // The window first, then its class.
  void Destroy();
  HWND Get() const { return window_.get(); }
  explicit operator bool() const { return static_cast<bool>(window_); }

  // The owner a window was tied to; none while the window is being created.
  template <class Owner>
  static Owner* OwnerOf(HWND window) {
    return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }

 private:
  std::unique_ptr<WindowClass> class_;
  UniqueWindow window_;  // destroyed before its class goes
};

}  // namespace platform::win32
