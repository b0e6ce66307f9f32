#pragma once
#include "platform/signal.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {

// An auto-reset event: one call to the system to set it, one to wait for it.
class Win32Signal final : public ISignal {
 public:
  Win32Signal();
  void Set() override;
  bool Wait(std::chrono::milliseconds timeout) override;

 private:
  UniqueHandle event_;
};

}  // namespace platform::win32
