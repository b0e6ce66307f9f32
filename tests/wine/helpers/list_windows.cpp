// Test helper: the primary monitor's work area, then every visible top-level
// window of a class, one a line:
//   workarea LEFT TOP RIGHT BOTTOM
//   window LEFT TOP RIGHT BOTTOM FOREGROUND(0|1) TITLE
//   list_windows.exe CLASS
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  std::printf("workarea %ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom);
  const HWND foreground = GetForegroundWindow();
  for (HWND window = FindWindowA(argv[1], nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, argv[1], nullptr)) {
    if (!IsWindowVisible(window)) continue;
    RECT rect;
    GetWindowRect(window, &rect);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    std::printf("window %ld %ld %ld %ld %d %s\n", rect.left, rect.top, rect.right, rect.bottom,
                window == foreground ? 1 : 0, title);
  }
  return 0;
}
