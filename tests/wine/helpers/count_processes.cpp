// Test helper: prints how many processes run an executable of that name.
//   count_processes.exe NAME.exe
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 1;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, argv[1]) == 0) ++count;
  }
  CloseHandle(snapshot);
  std::printf("%d\n", count);
  return 0;
}
