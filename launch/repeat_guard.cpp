#include "launch/repeat_guard.h"

namespace launch {

TRepeatGuard::TRepeatGuard(std::function<std::uint64_t()> now) : now_(std::move(now)) {}

bool TRepeatGuard::Admit(RepeatKind kind, std::uint8_t number) {
  const std::uint64_t now = now_();
  const auto key = std::make_pair(kind, number);
  const auto previous = last_.find(key);
  if (previous != last_.end() && now - previous->second < kMinimumGapMs) return false;
  last_[key] = now;
  return true;
}

}  // namespace launch
