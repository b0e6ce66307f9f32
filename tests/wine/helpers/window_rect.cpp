// Test helper: prints "LEFT TOP RIGHT BOTTOM" of the first visible top-level
// window of a class, or fails when there is none.
//   window_rect.exe CLASS
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  for (HWND window = FindWindowA(argv[1], nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, argv[1], nullptr)) {
    if (!IsWindowVisible(window)) continue;
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
  }
  std::printf("no window\n");
  return 1;
}
