// Test helper: a window that writes down every key, button and wheel event it
// receives, one line each, and "ready" once it has the focus.
//   key_target.exe LOG_FILE [NOTIFY_PORT]
// With NOTIFY_PORT it also sends "k<vk>" to 127.0.0.1:NOTIFY_PORT on each key-down.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE* g_log = nullptr;
SOCKET g_notify = INVALID_SOCKET;
sockaddr_in g_notify_to{};
bool g_ready = false;

void Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(g_log, format, args);
  va_end(args);
  std::fputc('\n', g_log);
  std::fflush(g_log);
}

void LogKey(const char* what, WPARAM w, LPARAM l) {
  const unsigned scan = (static_cast<unsigned>(l) >> 16) & 0xFF;
  const unsigned extended = (static_cast<unsigned>(l) >> 24) & 1;
  Log("key %s vk=0x%02X scan=0x%02X ext=%u", what, static_cast<unsigned>(w), scan, extended);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      LogKey("down", w, l);
      if (g_notify != INVALID_SOCKET) {
        char text[16];
        int n = std::snprintf(text, sizeof text, "k%u", static_cast<unsigned>(w));
        sendto(g_notify, text, n, 0, reinterpret_cast<sockaddr*>(&g_notify_to), sizeof g_notify_to);
      }
      return 0;  // no menu mode on Alt, no system commands
    case WM_KEYUP:
    case WM_SYSKEYUP: LogKey("up", w, l); return 0;
    case WM_LBUTTONDOWN: Log("button left down %d %d", LOWORD(l), HIWORD(l)); return 0;
    case WM_LBUTTONUP: Log("button left up"); return 0;
    case WM_RBUTTONDOWN: Log("button right down %d %d", LOWORD(l), HIWORD(l)); return 0;
    case WM_RBUTTONUP: Log("button right up"); return 0;
    case WM_MOUSEWHEEL: Log("wheel delta=%d", GET_WHEEL_DELTA_WPARAM(w)); return 0;
    case WM_TIMER:
      if (!g_ready && GetForegroundWindow() == window) {
        g_ready = true;
        Log("ready");
      } else if (!g_ready) {
        SetForegroundWindow(window);
      }
      return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, w, l);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_log = std::fopen(argv[1], "w");
  if (g_log == nullptr) return 1;
  if (argc > 2) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    g_notify = socket(AF_INET, SOCK_DGRAM, 0);
    g_notify_to.sin_family = AF_INET;
    g_notify_to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    g_notify_to.sin_port = htons(static_cast<u_short>(std::atoi(argv[2])));
  }
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "MirovantaKeyTarget";
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, "MirovantaKeyTarget", "Key target", WS_POPUP | WS_VISIBLE, 0, 0,
                                1024, 768, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(window);
  SetFocus(window);
  SetTimer(window, 1, 50, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  std::fclose(g_log);
  return 0;
}
