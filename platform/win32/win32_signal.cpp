#include "platform/win32/win32_signal.h"

namespace platform::win32 {

Win32Signal::Win32Signal() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

void Win32Signal::Set() { SetEvent(event_.get()); }

bool Win32Signal::Wait(std::chrono::milliseconds timeout) {
  // Without an event (the system out of handles) the waiter lives on its
  // time-outs and looks again each time: slower, never stuck.
  if (!event_) {
    Sleep(static_cast<DWORD>(timeout.count()));
    return false;
  }
  return WaitForSingleObject(event_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

}  // namespace platform::win32
