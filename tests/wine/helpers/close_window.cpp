// Test helper: posts WM_CLOSE to the top-level window of a class and title.
//   close_window.exe CLASS TITLE
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HWND window = FindWindowA(argv[1], argv[2]);
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
}
