// "Laser.exe": a red laser dot that follows the pointer over every monitor.
// One layered, topmost window covers the virtual screen and lets every click
// and wheel through; only the dot's own square is redrawn, and only when the
// pointer has moved.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "companions/laser/dot_image.h"
#include "media/laser_companion.h"
#include "platform/win32/win32_handles.h"

namespace {

using companions::PixelRect;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueHandle;
using platform::win32::UniqueHook;
using platform::win32::UniqueMemoryDc;
using platform::win32::UniqueWindow;
using platform::win32::WindowClass;
using platform::win32::WindowDc;

constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kMovingPeriodMs = 10;  // while the pointer moves: every frame
constexpr UINT kStillPeriodMs = 100;  // once it rests
constexpr int kStillAfterTicks = 50;  // half a second without movement
constexpr POINT kNowhere{-100000, -100000};

// The bitmap the window shows, one pixel per screen pixel of the virtual screen.
struct Surface {
  RECT screen{};
  UniqueBitmap bitmap;
  UniqueMemoryDc memory;  // deleted before the bitmap it holds
  std::uint32_t* bits = nullptr;
  long Width() const { return screen.right - screen.left; }
  long Height() const { return screen.bottom - screen.top; }
};

struct Overlay {
  std::optional<WindowClass> window_class;
  UniqueWindow window;  // destroyed before its class is unregistered
  Surface surface;
  companions::DotImage dot;
  unsigned dot_dpi = 0;
  POINT shown = kNowhere;
  PixelRect drawn{};  // where the dot is in the bitmap now
  int still_ticks = 0;
  UniqueHook mouse_hook;
};

Overlay* g_overlay = nullptr;

unsigned DpiAt(POINT point) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  // shcore.dll stays loaded for the program's life: the function is kept.
  static auto get_dpi = reinterpret_cast<GetDpiForMonitorFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shcore.dll"), "GetDpiForMonitor")));
  UINT x = 96, y = 96;
  if (get_dpi == nullptr ||
      FAILED(get_dpi(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), 0, &x, &y))) {
    WindowDc screen(nullptr);
    if (screen) x = static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSX));
  }
  return x;
}

RECT VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// A cleared bitmap the size of the virtual screen as it is now.
bool BuildSurface(Surface& surface) {
  Surface built;
  built.screen = VirtualScreen();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = built.Width();
  info.bmiHeader.biHeight = -built.Height();  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  built.memory.reset(CreateCompatibleDC(nullptr));
  if (!built.memory) return false;
  void* bits = nullptr;
  built.bitmap.reset(
      CreateDIBSection(built.memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!built.bitmap || bits == nullptr) return false;
  built.bits = static_cast<std::uint32_t*>(bits);
  SelectObject(built.memory.get(), built.bitmap.get());
  // The old surface's DC lets go of its bitmap before either is deleted.
  surface.memory = std::move(built.memory);
  surface.bitmap = std::move(built.bitmap);
  surface.bits = built.bits;
  surface.screen = built.screen;
  return true;
}

void ClearRect(const PixelRect& area) {
  const Surface& surface = g_overlay->surface;
  const PixelRect cut = companions::ClampToBitmap(area, surface.Width(), surface.Height());
  for (long y = cut.top; y < cut.bottom; ++y) {
    std::memset(surface.bits + static_cast<std::size_t>(y) * surface.Width() + cut.left, 0,
                static_cast<std::size_t>(cut.right - cut.left) * 4);
  }
}

// Copies the dot into the bitmap centred on `at` (bitmap coordinates), clipped.
PixelRect DrawDot(POINT at) {
  const Surface& surface = g_overlay->surface;
  const companions::DotImage& dot = g_overlay->dot;
  const long half = dot.size / 2;
  const long left = at.x - half, top = at.y - half;
  const PixelRect area = companions::ClampToBitmap({left, top, left + dot.size, top + dot.size},
                                                   surface.Width(), surface.Height());
  for (long y = area.top; y < area.bottom; ++y) {
    const std::uint32_t* source =
        dot.pixels.data() + static_cast<std::size_t>(y - top) * dot.size + (area.left - left);
    std::memcpy(surface.bits + static_cast<std::size_t>(y) * surface.Width() + area.left, source,
                static_cast<std::size_t>(area.right - area.left) * 4);
  }
  return area;
}

void Present(const RECT& dirty) {
  const Surface& surface = g_overlay->surface;
  POINT origin{surface.screen.left, surface.screen.top};
  SIZE size{surface.Width(), surface.Height()};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.pptDst = &origin;
  info.psize = &size;
  info.hdcSrc = surface.memory.get();
  info.pptSrc = &source;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = &dirty;
  if (!UpdateLayeredWindowIndirect(g_overlay->window.get(), &info)) {
    UpdateLayeredWindow(g_overlay->window.get(), nullptr, &origin, &size, surface.memory.get(),
                        &source, 0, &blend, ULW_ALPHA);
  }
}

RECT ToRect(const PixelRect& area) { return {area.left, area.top, area.right, area.bottom}; }

// Moves the dot to the pointer; true when it had to move.
bool Follow() {
  POINT pointer;
  if (!GetCursorPos(&pointer)) return false;
  if (pointer.x == g_overlay->shown.x && pointer.y == g_overlay->shown.y) return false;
  const unsigned dpi = DpiAt(pointer);
  if (dpi != g_overlay->dot_dpi) {
    g_overlay->dot = companions::RenderDot(companions::DotDiameterFor(dpi));
    g_overlay->dot_dpi = dpi;
  }
  const PixelRect old = g_overlay->drawn;
  ClearRect(old);
  const RECT& screen = g_overlay->surface.screen;
  g_overlay->drawn = DrawDot({pointer.x - screen.left, pointer.y - screen.top});
  RECT dirty;
  const RECT old_rect = ToRect(old), new_rect = ToRect(g_overlay->drawn);
  UnionRect(&dirty, &old_rect, &new_rect);
  Present(dirty);
  g_overlay->shown = pointer;
  return true;
}

void SetPace(UINT period) { SetTimer(g_overlay->window.get(), kFollowTimer, period, nullptr); }

// Shows the whole surface afresh and puts the dot back at the pointer.
void ShowAll() {
  const RECT all{0, 0, g_overlay->surface.Width(), g_overlay->surface.Height()};
  g_overlay->shown = kNowhere;
  g_overlay->drawn = {};
  Present(all);
  Follow();
}

// Monitors or resolution changed: the same window, resized over the new
// virtual screen, with a new surface. The window stays, so nothing ends the
// message loop and the host's count of a running companion stays true.
void Rebuild() {
  if (!BuildSurface(g_overlay->surface)) return;  // the old surface, clamped, goes on
  const RECT& screen = g_overlay->surface.screen;
  SetWindowPos(g_overlay->window.get(), HWND_TOPMOST, screen.left, screen.top,
               g_overlay->surface.Width(), g_overlay->surface.Height(), SWP_NOACTIVATE);
  ShowAll();
}

// A real mouse wakes the dot at once, without waiting for the next tick.
LRESULT CALLBACK MouseHook(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION && w == WM_MOUSEMOVE && g_overlay != nullptr && g_overlay->window) {
    PostMessageA(g_overlay->window.get(), WM_TIMER, kFollowTimer, 0);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (Follow()) {
        if (g_overlay->still_ticks >= kStillAfterTicks) SetPace(kMovingPeriodMs);
        g_overlay->still_ticks = 0;
      } else if (++g_overlay->still_ticks == kStillAfterTicks) {
        SetPace(kStillPeriodMs);
      }
      return 0;
    case WM_DISPLAYCHANGE: Rebuild(); return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, w, l);
  }
}

bool CreateOverlay(HINSTANCE instance) {
  if (!BuildSurface(g_overlay->surface)) return false;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = media::kCompanionClass;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  g_overlay->window_class.emplace(window_class);
  if (!g_overlay->window_class->Registered()) return false;
  const RECT& screen = g_overlay->surface.screen;
  g_overlay->window.reset(CreateWindowExA(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
      media::kCompanionClass, media::kCompanionTitle, WS_POPUP, screen.left, screen.top,
      g_overlay->surface.Width(), g_overlay->surface.Height(), nullptr, nullptr, instance,
      nullptr));
  if (!g_overlay->window) return false;
  ShowAll();
  ShowWindow(g_overlay->window.get(), SW_SHOWNOACTIVATE);
  SetPace(kMovingPeriodMs);
  // Without the hook the dot still follows, on the timer alone.
  g_overlay->mouse_hook.reset(SetWindowsHookExA(WH_MOUSE_LL, MouseHook, instance, 0));
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  // "-d" and no parameter both show the dot; there is nothing else to show.
  (void)command_line;
  // A second start while one runs brings nothing new.
  UniqueHandle running(CreateMutexA(nullptr, TRUE, "ZANTRIX_MIROVANTA2_LASER"));
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  SetProcessDPIAware();
  Overlay overlay;
  g_overlay = &overlay;
  if (!CreateOverlay(instance)) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  g_overlay = nullptr;
  return 0;
}
