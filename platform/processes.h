#pragma once
// Processes and windows family.
#include <cstdint>
#include <string>

namespace platform {

struct NamedMutex {
  std::intptr_t handle = 0;
  bool already_exists = false;  // the name was taken before this call
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  virtual NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) = 0;
  virtual void ReleaseNamedMutex(std::intptr_t handle) = 0;
};

}  // namespace platform
