#pragma once
// Processes and windows family.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct NamedMutex {
  std::intptr_t handle = 0;
  bool already_exists = false;  // the name was taken before this call
};

using WindowHandle = std::intptr_t;

// How far Windows trusts a process (its token's mandatory label). Input from
// a process does not reach the windows of a process above it.
enum class IntegrityLevel { Unknown, Low, Medium, High, System };

struct ProcessEntry {
  std::uint32_t id = 0;
  std::string exe_file;         // as the snapshot names it
  std::uint32_t parent_id = 0;  // the process that started it
};

class IWindows {
 public:
  virtual ~IWindows() = default;
  // Calls `visit` for every top-level window until it returns false.
  virtual void EnumTopWindows(const std::function<bool(WindowHandle)>& visit) = 0;
  virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
  // GetWindowTextA into a buffer of `size` characters.
  virtual std::string WindowText(WindowHandle window, std::size_t size) = 0;
  // Asks the window to close and waits for it to take the request, giving up
  // on a hung window and after `timeout_ms`.
  virtual void SendCloseWithTimeout(WindowHandle window, int timeout_ms) = 0;
  // The top-level window of that class and title, or 0.
  virtual WindowHandle FindTopWindow(const std::string& class_name, const std::string& title) = 0;
  // Asks the window to close, without waiting; false when the request could not be queued.
  virtual bool PostClose(WindowHandle window) = 0;
  // The window that takes keyboard input now, or 0.
  virtual WindowHandle ForegroundWindow() = 0;
  // The process's level; Unknown when the system does not tell (this process
  // when `process_id` is 0).
  virtual IntegrityLevel ProcessIntegrity(std::uint32_t process_id) = 0;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  virtual NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) = 0;
  virtual void ReleaseNamedMutex(std::intptr_t handle) = 0;
  // Every process of a snapshot; nothing when the snapshot cannot be taken.
  virtual std::optional<std::vector<ProcessEntry>> Snapshot() = 0;
  // Opens the process for termination and ends it with `exit_code`.
  virtual bool Terminate(std::uint32_t process_id, std::uint32_t exit_code) = 0;
  // Waits at most timeout_ms for the process to end; true once it has (or when
  // there is no such process any more).
  virtual bool WaitForExit(std::uint32_t process_id, int timeout_ms) = 0;
  // This program's own process.
  virtual std::uint32_t OwnId() = 0;
};

}  // namespace platform
