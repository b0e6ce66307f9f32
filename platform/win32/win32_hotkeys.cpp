#include "platform/win32/win32_hotkeys.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TMirovantaHotkey";
constexpr int kHotkeyId = 1;

}  // namespace

Win32Hotkeys::~Win32Hotkeys() { Unregister(); }

bool Win32Hotkeys::Register(const HotkeyChord& chord, std::function<void()> pressed) {
  Unregister();
  if (!class_) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kClass;
    class_ = std::make_unique<WindowClass>(window_class);
  }
  if (!class_->Registered()) return false;
  window_.reset(CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr));
  if (!window_) return false;
  SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const UINT modifiers = (chord.control ? MOD_CONTROL : 0) | (chord.alt ? MOD_ALT : 0) |
                         (chord.shift ? MOD_SHIFT : 0) | MOD_NOREPEAT;
  registered_ = RegisterHotKey(window_.get(), kHotkeyId, modifiers, chord.key) != 0;
  if (!registered_) {
    window_.reset();
    return false;
  }
  pressed_ = std::move(pressed);
  return true;
}

void Win32Hotkeys::Unregister() {
  if (registered_) UnregisterHotKey(window_.get(), kHotkeyId);
  registered_ = false;
  window_.reset();
  pressed_ = nullptr;
}

LRESULT CALLBACK Win32Hotkeys::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<Win32Hotkeys*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && message == WM_HOTKEY && w == kHotkeyId && self->pressed_) {
    auto pressed = self->pressed_;  // a copy: the handler may unregister
    pressed();
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
