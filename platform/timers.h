#pragma once
// Windows and messages family: timers that tick on the main thread, between
// the messages of its loop.
#include <functional>

namespace platform {

class ITimers {
 public:
  virtual ~ITimers() = default;
  // Calls `tick` every `interval_ms` on the main thread until stopped;
  // 0 when the system refuses a timer.
  virtual int Start(unsigned interval_ms, std::function<void()> tick) = 0;
  virtual void Stop(int timer) = 0;
};

}  // namespace platform
