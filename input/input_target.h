#pragma once
// Whether the window that input goes to can take it. Windows drops input sent
// to a window of a process that runs above this one (an administrator's
// window, Task Manager, a setup program) without a word; the person at the PC
// is told once per such process, and the input is still sent.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "platform/processes.h"

namespace input {

class TInputTargetCheck {
 public:
  // At most this many processes are remembered as told about; then the
  // record starts afresh (a process told about may be told once more).
  static constexpr std::size_t kToldKept = 256;

  // The foreground window is looked at no more often than this. Asking the
  // system for it is a round trip to the window manager's server on some
  // systems, and a remote sends keys and moves far faster than a person
  // switches windows: between looks the last look holds.
  static constexpr std::uint64_t kLookEveryMs = 250;

  using Warn = std::function<void(const std::string& text)>;
  using Clock = std::function<std::uint64_t()>;  // milliseconds, only ever rising
  TInputTargetCheck(platform::IWindows& windows, Clock now_ms, Warn warn);

  // Before a key, text or pointer command. The foreground window is looked
  // at when kLookEveryMs have passed since the last look; its process's level
  // only when the window changed.
  void BeforeInput();

  // The balloon's words for a window of that title.
  static std::string WarningText(const std::string& title);

 private:
  void Look();

  platform::IWindows& windows_;
  Clock now_ms_;
  Warn warn_;
  bool looked_ = false;
  std::uint64_t looked_at_ = 0;
  platform::IntegrityLevel own_ = platform::IntegrityLevel::Unknown;
  bool own_read_ = false;
  platform::WindowHandle checked_ = 0;
  std::set<std::uint32_t> told_;
};

}  // namespace input
