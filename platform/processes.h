#pragma once
// Processes and windows family.
#include <cstdint>
#include <string>

namespace platform {

struct NamedMutex {
  std::intptr_t handle = 0;
  bool already_exists = false;  // the name was taken before this call
};

inline constexpr unsigned kWindowMessageClose = 0x0010;  // WM_CLOSE

using WindowHandle = std::intptr_t;

class IWindows {
 public:
  virtual ~IWindows() = default;
  // The top-level window of that class and title, or 0.
  virtual WindowHandle FindTopWindow(const std::string& class_name, const std::string& title) = 0;
  virtual bool PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t w,
                           std::intptr_t l) = 0;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  virtual NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) = 0;
  virtual void ReleaseNamedMutex(std::intptr_t handle) = 0;
};

}  // namespace platform
