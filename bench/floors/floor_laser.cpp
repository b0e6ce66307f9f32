// Floor of the laser overlay: the simplest program that keeps a dot on the
// pointer, also when the pointer is moved by SetCursorPos. A dot-sized layered
// window, drawn once, moved to the pointer when it has moved; the pointer is
// looked at on a 15 ms timer while it moves (about a 60 Hz display's frame)
// and every 100 ms once it has been still for half a second.
//   floor_laser
#include <windows.h>

namespace {

constexpr int kDot = 24;
constexpr UINT kMovingMs = 15, kStillMs = 100;
constexpr int kStillAfter = 33;  // half a second without movement
POINT shown{-1, -1};
int still = 0;

void Place(HWND window, POINT at) {
  SetWindowPos(window, HWND_TOPMOST, at.x - kDot / 2, at.y - kDot / 2, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message != WM_TIMER) return DefWindowProcA(window, message, w, l);
  POINT pointer;
  GetCursorPos(&pointer);
  if (pointer.x != shown.x || pointer.y != shown.y) {
    Place(window, pointer);
    shown = pointer;
    if (still >= kStillAfter) SetTimer(window, 1, kMovingMs, nullptr);
    still = 0;
  } else if (++still == kStillAfter) {
    SetTimer(window, 1, kStillMs, nullptr);
  }
  return 0;
}

// A red disc, premultiplied alpha, in a DIB selected into a memory DC.
void DrawDot(HWND window) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, kDot, -kDot, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(memory, bitmap);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < kDot; ++y) {
    for (int x = 0; x < kDot; ++x) {
      const int dx = 2 * x + 1 - kDot, dy = 2 * y + 1 - kDot;
      pixels[y * kDot + x] = dx * dx + dy * dy <= kDot * kDot ? 0xFFFF0000u : 0;
    }
  }
  POINT origin{0, 0}, source{0, 0};
  SIZE size{kDot, kDot};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, nullptr, &origin, &size, memory, &source, 0, &blend, ULW_ALPHA);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = "FloorLaser";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
      "FloorLaser", "", WS_POPUP, 0, 0, kDot, kDot, nullptr, nullptr, instance, nullptr);
  DrawDot(window);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetTimer(window, 1, kMovingMs, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
