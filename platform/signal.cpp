#include "platform/signal.h"

namespace platform {

void TConditionSignal::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
  changed_.notify_one();
}

bool TConditionSignal::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [this] { return set_; })) return false;
  set_ = false;
  return true;
}

}  // namespace platform
