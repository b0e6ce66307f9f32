// Test helper: prints the pointer position as "X Y".
#include <windows.h>

#include <cstdio>

int main() {
  POINT point{};
  if (!GetCursorPos(&point)) return 1;
  std::printf("%ld %ld\n", point.x, point.y);
  return 0;
}
