// Test helper: posts WM_CLOSE, or another message, to the top-level window of
// a class and title.
//   close_window.exe CLASS TITLE [MESSAGE [WPARAM [LPARAM]]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HWND window = FindWindowA(argv[1], argv[2]);
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  const UINT message = argc > 3 ? static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)) : WM_CLOSE;
  const WPARAM w = argc > 4 ? std::strtoull(argv[4], nullptr, 0) : 0;
  const LPARAM l = argc > 5 ? std::strtoll(argv[5], nullptr, 0) : 0;
  return PostMessageA(window, message, w, l) ? 0 : 1;
}
