// Test helper: prints the handle count, memory and windows of the first
// process of a given executable name:
//   "handles N working-set BYTES private BYTES windows N user-objects N"
// and with a second argument first each window's class: "window-class NAME".
// windows counts its top-level, child and message-only windows; user-objects
// is what the system reports for it (0 where that is not kept).
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

struct WindowCount {
  DWORD process;
  long count;
  bool list;  // print each window's class too
};

void Note(HWND window, const WindowCount& windows) {
  if (!windows.list) return;
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  std::printf("window-class %s\n", name);
}

BOOL CALLBACK CountChild(HWND window, LPARAM into) {
  auto* windows = reinterpret_cast<WindowCount*>(into);
  ++windows->count;
  Note(window, *windows);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM into) {
  auto* windows = reinterpret_cast<WindowCount*>(into);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != windows->process) return TRUE;
  ++windows->count;
  Note(window, *windows);
  EnumChildWindows(window, CountChild, into);
  return TRUE;
}

long CountWindows(DWORD id, bool list) {
  WindowCount windows{id, 0, list};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountTopLevel(window, reinterpret_cast<LPARAM>(&windows));
  }
  return windows.count;
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
  std::printf("handles %lu working-set %zu private %zu windows %ld user-objects %lu\n", handles,
              memory.WorkingSetSize, memory.PrivateUsage, CountWindows(id, argc > 2),
              GetGuiResources(process, GR_USEROBJECTS));
  CloseHandle(process);
  return 0;
}
