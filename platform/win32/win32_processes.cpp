#include "platform/win32/win32_processes.h"

#include <windows.h>

namespace platform::win32 {

WindowHandle Win32Windows::FindTopWindow(const std::string& class_name,
                                         const std::string& title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(class_name.c_str(), title.c_str()));
}

bool Win32Windows::PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t w,
                                     std::intptr_t l) {
  return PostMessageA(reinterpret_cast<HWND>(window), message, w, l) != FALSE;
}

NamedMutex Win32Processes::CreateNamedMutex(const std::string& name, bool initial_owner) {
  HANDLE handle = CreateMutexA(nullptr, initial_owner ? TRUE : FALSE, name.c_str());
  bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
  return {reinterpret_cast<std::intptr_t>(handle), exists};
}

void Win32Processes::ReleaseNamedMutex(std::intptr_t handle) {
  ReleaseMutex(reinterpret_cast<HANDLE>(handle));
}

}  // namespace platform::win32
