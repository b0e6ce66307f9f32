#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {

WindowHandle Win32Windows::FindTopWindow(const std::string& class_name, const std::string& title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(class_name.c_str(), title.c_str()));
}

bool Win32Windows::PostClose(WindowHandle window) {
  return PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0) != FALSE;
}

WindowHandle Win32Windows::ForegroundWindow() {
  return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

// The token's mandatory label, by the relative identifier's ranges.
IntegrityLevel Win32Windows::ProcessIntegrity(std::uint32_t process_id) {
  UniqueHandle process(process_id == 0
                           ? nullptr
                           : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (process_id != 0 && !process) return IntegrityLevel::Unknown;
  HANDLE token_handle = nullptr;
  if (!OpenProcessToken(process_id == 0 ? GetCurrentProcess() : process.get(), TOKEN_QUERY,
                        &token_handle)) {
    return IntegrityLevel::Unknown;
  }
  UniqueHandle token(token_handle);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  if (size == 0) return IntegrityLevel::Unknown;
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size)) {
    return IntegrityLevel::Unknown;
  }
  const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
  const DWORD rid =
      *GetSidSubAuthority(label->Label.Sid, *GetSidSubAuthorityCount(label->Label.Sid) - 1);
  if (rid >= SECURITY_MANDATORY_SYSTEM_RID) return IntegrityLevel::System;
  if (rid >= SECURITY_MANDATORY_HIGH_RID) return IntegrityLevel::High;
  if (rid >= SECURITY_MANDATORY_MEDIUM_RID) return IntegrityLevel::Medium;
  return IntegrityLevel::Low;
}

namespace {

BOOL CALLBACK VisitWindow(HWND window, LPARAM visit) {
  return (*reinterpret_cast<const std::function<bool(WindowHandle)>*>(visit))(
             reinterpret_cast<WindowHandle>(window))
             ? TRUE
             : FALSE;
}

}  // namespace

void Win32Windows::EnumTopWindows(const std::function<bool(WindowHandle)>& visit) {
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::uint32_t Win32Windows::WindowProcessId(WindowHandle window) {
  DWORD id = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &id);
  return id;
}

std::string Win32Windows::WindowText(WindowHandle window, std::size_t size) {
  std::vector<char> text(size, 0);
  GetWindowTextA(reinterpret_cast<HWND>(window), text.data(), static_cast<int>(size));
  return text.data();
}

void Win32Windows::SendCloseWithTimeout(WindowHandle window, int timeout_ms) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG,
                      static_cast<UINT>(timeout_ms), &result);
}

std::optional<std::vector<ProcessEntry>> Win32Processes::Snapshot() {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  std::vector<ProcessEntry> processes;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;  // the build's own size: 304 bytes on x86_64
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    processes.push_back({entry.th32ProcessID, entry.szExeFile, entry.th32ParentProcessID});
  }
  return processes;
}

bool Win32Processes::Terminate(std::uint32_t process_id, std::uint32_t exit_code) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, process_id));
  if (!process) return false;
  return TerminateProcess(process.get(), exit_code) != FALSE;
}

bool Win32Processes::WaitForExit(std::uint32_t process_id, int timeout_ms) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  return WaitForSingleObject(process.get(), static_cast<DWORD>(timeout_ms)) == WAIT_OBJECT_0;
}

NamedMutex Win32Processes::CreateNamedMutex(const std::string& name, bool initial_owner) {
  UniqueHandle handle(CreateMutexA(nullptr, initial_owner ? TRUE : FALSE, name.c_str()));
  const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
  const auto value = reinterpret_cast<std::intptr_t>(handle.get());
  // The handle is the one-copy-per-logon marker: it stays open while this
  // object, which lives as long as the program, holds it.
  mutexes_.push_back(std::move(handle));
  return {value, exists};
}

void Win32Processes::ReleaseNamedMutex(std::intptr_t handle) {
  ReleaseMutex(reinterpret_cast<HANDLE>(handle));
}

std::uint32_t Win32Processes::OwnId() { return GetCurrentProcessId(); }

}  // namespace platform::win32
