#include "platform/subscribers.h"

namespace platform {

std::uint64_t TSubscribers::Add(std::function<void()> callback) {
  std::lock_guard lock(mutex_);
  const std::uint64_t token = next_++;
  callbacks_.emplace(token, std::move(callback));
  return token;
}

// The lock is held while callbacks run: taking it here is what waits for a
// running one to end.
void TSubscribers::Remove(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  callbacks_.erase(token);
}

void TSubscribers::CallAll() {
  std::lock_guard lock(mutex_);
  for (auto& [token, callback] : callbacks_) {
    if (callback) callback();
  }
}

std::size_t TSubscribers::Count() {
  std::lock_guard lock(mutex_);
  return callbacks_.size();
}

}  // namespace platform
