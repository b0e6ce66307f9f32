#pragma once
#include "platform/signal.h"
#include <windows.h>

namespace platform::win32 {

// A flag under a slim reader/writer lock with the system's condition variable.
// Neither is a kernel object: Windows waits on their address, and Wine does
// the same with the kernel's futex, without a call to the Wine server, which
// an event costs for every set and every wait.
class Win32Signal final : public ISignal {
 public:
  Win32Signal();
  void Set() override;
  bool Wait(std::chrono::milliseconds timeout) override;

 private:
  SRWLOCK lock_;
  CONDITION_VARIABLE changed_;
  bool set_ = false;
};

}  // namespace platform::win32
