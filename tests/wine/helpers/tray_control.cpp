// Test helper acting as the shell would on the host's tray icon.
//   tray_control.exe remove            takes the host's icon out of the tray
//   tray_control.exe taskbar-created   announces a new taskbar to every window
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "remove") == 0) {
    HWND window = FindWindowA("TTrayIconWindow", nullptr);
    if (window == nullptr) {
      std::printf("no icon window\n");
      return 1;
    }
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = 1;
    return Shell_NotifyIconA(NIM_DELETE, &record) ? 0 : 1;
  }
  if (std::strcmp(argv[1], "taskbar-created") == 0) {
    UINT message = RegisterWindowMessageA("TaskbarCreated");
    return PostMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
  }
  return 2;
}
