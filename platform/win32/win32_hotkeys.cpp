#include "platform/win32/win32_hotkeys.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TMirovantaHotkey";
constexpr int kHotkeyId = 1;

}  // namespace

Win32Hotkeys::~Win32Hotkeys() { Unregister(); }

bool Win32Hotkeys::Register(const HotkeyChord& chord, std::function<void()> pressed) {
  Unregister();
  if (!window_.Create(kClass, Procedure, this, HiddenWindow::Kind::MessageOnly)) return false;
  const UINT modifiers = (chord.control ? MOD_CONTROL : 0) | (chord.alt ? MOD_ALT : 0) |
                         (chord.shift ? MOD_SHIFT : 0) | MOD_NOREPEAT;
  registered_ = RegisterHotKey(window_.Get(), kHotkeyId, modifiers, chord.key) != 0;
  if (!registered_) {
    window_.Destroy();
    return false;
  }
  pressed_ = std::move(pressed);
  return true;
}

void Win32Hotkeys::Unregister() {
  if (registered_) UnregisterHotKey(window_.Get(), kHotkeyId);
  registered_ = false;
  window_.Destroy();
  pressed_ = nullptr;
}

LRESULT CALLBACK Win32Hotkeys::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = HiddenWindow::OwnerOf<Win32Hotkeys>(window);
  if (self != nullptr && message == WM_HOTKEY && w == kHotkeyId && self->pressed_) {
    auto pressed = self->pressed_;  // a copy: the handler may unregister
    pressed();
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
