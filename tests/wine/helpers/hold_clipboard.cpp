// Test helper: holds the clipboard open for a while, as a clipboard manager
// does for a moment. Prints "holding" once it has it.
//   hold_clipboard.exe MILLISECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const DWORD hold = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 2000;
  while (!OpenClipboard(nullptr)) Sleep(5);
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(hold);
  CloseClipboard();
  std::printf("released\n");
  return 0;
}
