#include "platform/win32/win32_processes.h"

#include <windows.h>

namespace platform::win32 {

NamedMutex Win32Processes::CreateNamedMutex(const std::string& name, bool initial_owner) {
  HANDLE handle = CreateMutexA(nullptr, initial_owner ? TRUE : FALSE, name.c_str());
  bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
  return {reinterpret_cast<std::intptr_t>(handle), exists};
}

void Win32Processes::ReleaseNamedMutex(std::intptr_t handle) {
  ReleaseMutex(reinterpret_cast<HANDLE>(handle));
}

}  // namespace platform::win32
