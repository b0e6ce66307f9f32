// Test helper standing in for the laser pointer companion: a window of class
// "TLaserForm" titled "Laser" that writes its command line and its close to
// "laser-standin.log" beside itself, the start once its window exists.
// While "laser-standin.hold" is beside it (at most two minutes), it logs
// "launched" and waits before making its window, as a companion that has
// just been started and has no window yet.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_log_path;

void Log(const std::string& line) {
  if (FILE* log = std::fopen(g_log_path.c_str(), "a")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CLOSE) {
    Log("closed");
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  g_log_path = path;
  const std::string folder = g_log_path.substr(0, g_log_path.find_last_of('\\') + 1);
  g_log_path = folder + "laser-standin.log";
  const std::string hold = folder + "laser-standin.hold";
  if (GetFileAttributesA(hold.c_str()) != INVALID_FILE_ATTRIBUTES) {
    Log("launched");
    for (int i = 0; i < 6000 && GetFileAttributesA(hold.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
      Sleep(20);
    }
  }
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = "TLaserForm";
  RegisterClassA(&window_class);
  CreateWindowExA(WS_EX_TOOLWINDOW, "TLaserForm", "Laser", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                  instance, nullptr);
  // Only once the window exists: a test that closes the host at this line
  // expects the host to find the window and close it.
  Log(std::string("started args=") + command_line + " show=" + std::to_string(show));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
