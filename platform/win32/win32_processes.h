#pragma once
#include "platform/processes.h"

namespace platform::win32 {

class Win32Processes final : public IProcesses {
 public:
  NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) override;
  void ReleaseNamedMutex(std::intptr_t handle) override;
};

}  // namespace platform::win32
