// Test helper: prints the handle count and memory of the first process of a
// given executable name: "handles N working-set BYTES private BYTES".
//   process_stats.exe NAME.exe
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

namespace {

// The system's handle table (class 16), counted for one process: this works
// where the per-process handle count is not kept.
struct HandleEntry {
  ULONG owner;
  BYTE type;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

long CountHandles(DWORD id) {
  auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  LONG status;
  while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
         static_cast<LONG>(0xC0000004)) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < table->count; ++i) count += table->entries[i].owner == id;
  return count;
}

}  // namespace

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
  if (handles == 0) handles = static_cast<DWORD>(CountHandles(id));
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                          sizeof memory);
  std::printf("handles %lu working-set %zu private %zu\n", handles, memory.WorkingSetSize,
              memory.PrivateUsage);
  CloseHandle(process);
  return 0;
}
