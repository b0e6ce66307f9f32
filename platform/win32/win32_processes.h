#pragma once
#include <vector>

#include "platform/processes.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {

class Win32Windows final : public IWindows {
 public:
  void EnumTopWindows(const std::function<bool(WindowHandle)>& visit) override;
  std::uint32_t WindowProcessId(WindowHandle window) override;
  std::string WindowText(WindowHandle window, std::size_t size) override;
  void SendCloseWithTimeout(WindowHandle window, int timeout_ms) override;
  WindowHandle FindTopWindow(const std::string& class_name, const std::string& title) override;
  bool PostClose(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  IntegrityLevel ProcessIntegrity(std::uint32_t process_id) override;
};

class Win32Processes final : public IProcesses {
 public:
  NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) override;
  void ReleaseNamedMutex(std::intptr_t handle) override;
  std::optional<std::vector<ProcessEntry>> Snapshot() override;
  bool Terminate(std::uint32_t process_id, std::uint32_t exit_code) override;
  bool WaitForExit(std::uint32_t process_id, int timeout_ms) override;
  std::uint32_t OwnId() override;

 private:
  std::vector<UniqueHandle> mutexes_;
};

}  // namespace platform::win32
