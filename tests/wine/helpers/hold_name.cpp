// Test helper: makes a named mutex and keeps it, as any program of any user
// may do with a name another program uses. Prints "holding" once it has it.
//   hold_name.exe NAME MILLISECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const DWORD hold = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 600000;
  HANDLE name = CreateMutexA(nullptr, FALSE, argv[1]);
  if (name == nullptr) {
    std::printf("error %lu\n", GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(hold);
  CloseHandle(name);
  return 0;
}
