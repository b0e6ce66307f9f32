#pragma once
#include <windows.h>

#include <functional>
#include <map>

#include "platform/timers.h"

namespace platform::win32 {

// Thread timers of the main thread: the message loop dispatches their
// WM_TIMER to one procedure, which finds the tick by the timer's id.
class Win32Timers final : public ITimers {
 public:
  ~Win32Timers() override;
  int Start(unsigned interval_ms, std::function<void()> tick) override;
  void Stop(int timer) override;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
};

}  // namespace platform::win32
