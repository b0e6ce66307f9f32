#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "platform/hotkeys.h"
#include "platform/win32/win32_hidden_window.h"

namespace platform::win32 {

// One hotkey, registered for a message-only window of the main thread.
class Win32Hotkeys final : public IHotkeys {
 public:
  ~Win32Hotkeys() override;
  bool Register(const HotkeyChord& chord, std::function<void()> pressed) override;
  void Unregister() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);

  HiddenWindow window_;
  std::function<void()> pressed_;
  bool registered_ = false;
};

}  // namespace platform::win32
