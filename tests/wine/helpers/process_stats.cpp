// Test helper: prints the handle count and memory of the first process of a
// given executable name: "handles N working-set BYTES private BYTES".
//   process_stats.exe NAME.exe
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD id = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, argv[1]) == 0) {
      id = entry.th32ProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  if (id == 0) {
    std::printf("no process\n");
    return 1;
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) return 1;
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  std::printf("handles %lu working-set %zu private %zu\n", handles, memory.WorkingSetSize,
              memory.PrivateUsage);
  CloseHandle(process);
  return 0;
}
