#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

namespace platform::win32 {

std::intptr_t Win32Shell::Execute(const std::string& operation, const std::string& file,
                                  const std::string& parameters, const std::string& directory,
                                  ShowAs show) {
  HINSTANCE result =
      ShellExecuteA(nullptr, operation.c_str(), file.c_str(), parameters.c_str(), directory.c_str(),
                    show == ShowAs::Maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace platform::win32
