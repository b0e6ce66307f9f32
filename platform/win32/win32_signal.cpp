#include "platform/win32/win32_signal.h"

namespace platform::win32 {

Win32Signal::Win32Signal() {
  InitializeSRWLock(&lock_);
  InitializeConditionVariable(&changed_);
}

void Win32Signal::Set() {
  AcquireSRWLockExclusive(&lock_);
  set_ = true;
  ReleaseSRWLockExclusive(&lock_);
  WakeConditionVariable(&changed_);
}

bool Win32Signal::Wait(std::chrono::milliseconds timeout) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  AcquireSRWLockExclusive(&lock_);
  // A wake-up may come without a Set (the system allows it), so the flag
  // decides, and the time left is counted from the one deadline.
  while (!set_) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    SleepConditionVariableSRW(&changed_, &lock_, static_cast<DWORD>(deadline - now), 0);
  }
  const bool woken = set_;
  set_ = false;
  ReleaseSRWLockExclusive(&lock_);
  return woken;
}

}  // namespace platform::win32
