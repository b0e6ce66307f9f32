#pragma once
#include "platform/processes.h"

namespace platform::win32 {

class Win32Windows final : public IWindows {
 public:
  WindowHandle FindTopWindow(const std::string& class_name, const std::string& title) override;
  bool PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t w,
                         std::intptr_t l) override;
};

class Win32Processes final : public IProcesses {
 public:
  NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) override;
  void ReleaseNamedMutex(std::intptr_t handle) override;
};

}  // namespace platform::win32
