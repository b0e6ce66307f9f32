// "Laser.exe": a red laser dot that follows the pointer over every monitor.
// One layered, topmost window covers the virtual screen and lets every click
// and wheel through; only the dot's own square is redrawn, and only when the
// pointer has moved.
#include <windows.h>

#include <cstring>
#include <string>

#include "companions/laser/dot_image.h"

namespace {

constexpr char kClass[] = "TLaserForm";
constexpr char kTitle[] = "Laser";
constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kMovingPeriodMs = 10;   // while the pointer moves: every frame
constexpr UINT kStillPeriodMs = 100;   // once it rests
constexpr int kStillAfterTicks = 50;   // half a second without movement

struct Overlay {
  HWND window = nullptr;
  RECT screen{};
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  std::uint32_t* bits = nullptr;
  companions::DotImage dot;
  unsigned dot_dpi = 0;
  POINT shown{-100000, -100000};
  RECT drawn{};  // where the dot is in the bitmap now
  int still_ticks = 0;
  HHOOK mouse_hook = nullptr;
};

Overlay g_overlay;

unsigned DpiAt(POINT point) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static auto get_dpi = reinterpret_cast<GetDpiForMonitorFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shcore.dll"), "GetDpiForMonitor")));
  UINT x = 96, y = 96;
  if (get_dpi == nullptr ||
      FAILED(get_dpi(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), 0, &x, &y))) {
    HDC screen = GetDC(nullptr);
    x = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
  }
  return x;
}

void ClearRect(const RECT& area) {
  const int width = g_overlay.screen.right - g_overlay.screen.left;
  for (LONG y = area.top; y < area.bottom; ++y) {
    std::memset(g_overlay.bits + static_cast<std::size_t>(y) * width + area.left, 0,
                static_cast<std::size_t>(area.right - area.left) * 4);
  }
}

// Copies the dot into the bitmap centred on `at` (bitmap coordinates), clipped.
RECT DrawDot(POINT at) {
  const int width = g_overlay.screen.right - g_overlay.screen.left;
  const int height = g_overlay.screen.bottom - g_overlay.screen.top;
  const int half = g_overlay.dot.size / 2;
  RECT area{std::max(0L, at.x - half), std::max(0L, at.y - half),
            std::min<LONG>(width, at.x - half + g_overlay.dot.size),
            std::min<LONG>(height, at.y - half + g_overlay.dot.size)};
  for (LONG y = area.top; y < area.bottom; ++y) {
    const std::uint32_t* source = g_overlay.dot.pixels.data() +
                                  static_cast<std::size_t>(y - (at.y - half)) * g_overlay.dot.size +
                                  (area.left - (at.x - half));
    std::memcpy(g_overlay.bits + static_cast<std::size_t>(y) * width + area.left, source,
                static_cast<std::size_t>(std::max(0L, area.right - area.left)) * 4);
  }
  return area;
}

void Present(const RECT& dirty) {
  POINT origin{g_overlay.screen.left, g_overlay.screen.top};
  SIZE size{g_overlay.screen.right - g_overlay.screen.left,
            g_overlay.screen.bottom - g_overlay.screen.top};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.pptDst = &origin;
  info.psize = &size;
  info.hdcSrc = g_overlay.memory;
  info.pptSrc = &source;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = &dirty;
  if (!UpdateLayeredWindowIndirect(g_overlay.window, &info)) {
    UpdateLayeredWindow(g_overlay.window, nullptr, &origin, &size, g_overlay.memory, &source, 0,
                        &blend, ULW_ALPHA);
  }
}

// Moves the dot to the pointer; true when it had to move.
bool Follow() {
  POINT pointer;
  if (!GetCursorPos(&pointer)) return false;
  if (pointer.x == g_overlay.shown.x && pointer.y == g_overlay.shown.y) return false;
  const unsigned dpi = DpiAt(pointer);
  if (dpi != g_overlay.dot_dpi) {
    g_overlay.dot = companions::RenderDot(companions::DotDiameterFor(dpi));
    g_overlay.dot_dpi = dpi;
  }
  RECT old = g_overlay.drawn;
  ClearRect(old);
  POINT at{pointer.x - g_overlay.screen.left, pointer.y - g_overlay.screen.top};
  g_overlay.drawn = DrawDot(at);
  RECT dirty;
  UnionRect(&dirty, &old, &g_overlay.drawn);
  Present(dirty);
  g_overlay.shown = pointer;
  return true;
}

void SetPace(UINT period) { SetTimer(g_overlay.window, kFollowTimer, period, nullptr); }

// A real mouse wakes the dot at once, without waiting for the next tick.
LRESULT CALLBACK MouseHook(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION && w == WM_MOUSEMOVE && g_overlay.window != nullptr) {
    PostMessageA(g_overlay.window, WM_TIMER, kFollowTimer, 0);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (Follow()) {
        if (g_overlay.still_ticks >= kStillAfterTicks) SetPace(kMovingPeriodMs);
        g_overlay.still_ticks = 0;
      } else if (++g_overlay.still_ticks == kStillAfterTicks) {
        SetPace(kStillPeriodMs);
      }
      return 0;
    case WM_DISPLAYCHANGE:
      // Monitors changed: start over with a new virtual screen.
      PostQuitMessage(3);
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, w, l);
  }
}

bool CreateOverlay(HINSTANCE instance) {
  g_overlay.screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const int width = g_overlay.screen.right - g_overlay.screen.left;
  const int height = g_overlay.screen.bottom - g_overlay.screen.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  g_overlay.memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  g_overlay.bitmap = CreateDIBSection(g_overlay.memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (g_overlay.bitmap == nullptr) return false;
  g_overlay.bits = static_cast<std::uint32_t*>(bits);
  SelectObject(g_overlay.memory, g_overlay.bitmap);

  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = kClass;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&window_class);
  g_overlay.window = CreateWindowExA(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
      kClass, kTitle, WS_POPUP, g_overlay.screen.left, g_overlay.screen.top, width, height, nullptr,
      nullptr, instance, nullptr);
  if (g_overlay.window == nullptr) return false;
  RECT all{0, 0, width, height};
  Present(all);
  ShowWindow(g_overlay.window, SW_SHOWNOACTIVATE);
  Follow();
  SetPace(kMovingPeriodMs);
  g_overlay.mouse_hook = SetWindowsHookExA(WH_MOUSE_LL, MouseHook, instance, 0);
  return true;
}

void DestroyOverlay() {
  if (g_overlay.mouse_hook != nullptr) UnhookWindowsHookEx(g_overlay.mouse_hook);
  if (g_overlay.window != nullptr && IsWindow(g_overlay.window)) DestroyWindow(g_overlay.window);
  if (g_overlay.memory != nullptr) DeleteDC(g_overlay.memory);
  if (g_overlay.bitmap != nullptr) DeleteObject(g_overlay.bitmap);
  g_overlay = Overlay{};
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  // "-d" and no parameter both show the dot; there is nothing else to show.
  (void)command_line;
  // A second start while one runs brings nothing new.
  CreateMutexA(nullptr, TRUE, "ZANTRIX_MIROVANTA2_LASER");
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  SetProcessDPIAware();
  for (;;) {
    if (!CreateOverlay(instance)) return 1;
    MSG message;
    int code = 0;
    while ((code = GetMessageA(&message, nullptr, 0, 0)) > 0) DispatchMessageA(&message);
    const bool restart = code == 0 && message.wParam == 3;
    DestroyOverlay();
    if (!restart) return 0;
  }
}
