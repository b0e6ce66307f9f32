// "Laser.exe": a red laser dot that follows the pointer over every monitor.
// The window is the dot itself: a small layered, click-through, topmost
// window that is moved to the pointer when the pointer has moved. Nothing is
// drawn over the rest of the screen, so a move costs what moving a small
// window costs, whatever the size of the monitors.
#include <windows.h>

#include <cstring>
#include <optional>

#include "companions/laser/dot_image.h"
#include "companions/laser/follow_pace.h"
#include "media/laser_companion.h"
#include "platform/win32/win32_handles.h"

namespace {

using platform::win32::UniqueBitmap;
using platform::win32::UniqueHandle;
using platform::win32::UniqueMemoryDc;
using platform::win32::UniqueWindow;
using platform::win32::WindowClass;
using platform::win32::WindowDc;

constexpr UINT_PTR kFollowTimer = 1;
constexpr POINT kNowhere{-100000, -100000};

struct Overlay {
  std::optional<WindowClass> window_class;
  UniqueWindow window;  // destroyed before its class is unregistered
  UniqueBitmap bitmap;
  UniqueMemoryDc memory;  // deleted before the bitmap it holds
  int dot_size = 0;
  unsigned dot_dpi = 0;
  POINT shown = kNowhere;
  int still_ticks = 0;
  UINT frame_ms =
      companions::kDefaultFrameMs;  // while the pointer moves: once a frame of the display
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

// Draws the dot for `dpi` into a bitmap of its own size and gives it to the
// window, placed centred on `at`. False leaves the dot as it was.
bool ShowDot(unsigned dpi, POINT at) {
  const companions::DotImage dot = companions::RenderDot(companions::DotDiameterFor(dpi));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = dot.size;
  info.bmiHeader.biHeight = -dot.size;  // top-down rows, as the image is
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  if (!memory) return false;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return false;
  std::memcpy(bits, dot.pixels.data(), dot.pixels.size() * sizeof dot.pixels[0]);
  SelectObject(memory.get(), bitmap.get());
  const companions::ScreenPoint corner = companions::DotOrigin(at.x, at.y, dot.size);
  POINT origin{corner.x, corner.y};
  POINT source{0, 0};
  SIZE size{dot.size, dot.size};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  if (!UpdateLayeredWindow(g_overlay->window.get(), nullptr, &origin, &size, memory.get(), &source,
                           0, &blend, ULW_ALPHA)) {
    return false;
  }
  // The old memory DC lets go of its bitmap before either is deleted.
  g_overlay->memory = std::move(memory);
  g_overlay->bitmap = std::move(bitmap);
  g_overlay->dot_size = dot.size;
  g_overlay->dot_dpi = dpi;
  return true;
}

// Moves the dot to the pointer; true when it had to move. The dot is drawn
// again only when the monitor under the pointer has another scale.
bool Follow() {
  POINT pointer;
  if (!GetCursorPos(&pointer)) return false;
  if (pointer.x == g_overlay->shown.x && pointer.y == g_overlay->shown.y) return false;
  const unsigned dpi = DpiAt(pointer);
  if (dpi != g_overlay->dot_dpi && ShowDot(dpi, pointer)) {
    g_overlay->shown = pointer;
    return true;
  }
  const companions::ScreenPoint corner =
      companions::DotOrigin(pointer.x, pointer.y, g_overlay->dot_size);
  // Topmost again on every move: a full-screen presentation started since
  // must not cover the dot.
  SetWindowPos(g_overlay->window.get(), HWND_TOPMOST, corner.x, corner.y, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);
  g_overlay->shown = pointer;
  return true;
}

void SetPace(UINT period) { SetTimer(g_overlay->window.get(), kFollowTimer, period, nullptr); }

// No hook on the desktop's mouse: a low-level hook would make every mouse
// event of every program wait for this one. The dot looks once a frame.
UINT DisplayFramePeriodMs() {
  WindowDc screen(nullptr);
  return companions::FramePeriodMs(screen ? GetDeviceCaps(screen.get(), VREFRESH) : 0);
}

int StillAfterTicks() { return companions::TicksBeforeRest(g_overlay->frame_ms); }

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (Follow()) {
        if (g_overlay->still_ticks >= StillAfterTicks()) SetPace(g_overlay->frame_ms);
        g_overlay->still_ticks = 0;
      } else if (++g_overlay->still_ticks == StillAfterTicks()) {
        SetPace(companions::kRestingPeriodMs);
      }
      return 0;
    case WM_DISPLAYCHANGE: g_overlay->frame_ms = DisplayFramePeriodMs(); [[fallthrough]];
    case WM_DPICHANGED:
      // Monitors, resolution or scale changed: the dot is drawn afresh for
      // the monitor under the pointer and put back on it.
      g_overlay->dot_dpi = 0;
      g_overlay->shown = kNowhere;
      Follow();
      return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, w, l);
  }
}

bool CreateOverlay(HINSTANCE instance) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = media::kCompanionClass;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  g_overlay->window_class.emplace(window_class);
  if (!g_overlay->window_class->Registered()) return false;
  g_overlay->window.reset(CreateWindowExA(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
      media::kCompanionClass, media::kCompanionTitle, WS_POPUP, kNowhere.x, kNowhere.y, 1, 1,
      nullptr, nullptr, instance, nullptr));
  if (!g_overlay->window) return false;
  POINT pointer{0, 0};
  GetCursorPos(&pointer);
  if (!ShowDot(DpiAt(pointer), pointer)) return false;
  g_overlay->shown = pointer;
  ShowWindow(g_overlay->window.get(), SW_SHOWNOACTIVATE);
  g_overlay->frame_ms = DisplayFramePeriodMs();
  SetPace(g_overlay->frame_ms);
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
