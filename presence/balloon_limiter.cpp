#include "presence/balloon_limiter.h"

namespace presence {

bool TBalloonLimiter::Admit(const std::string& address, bool connected, std::uint64_t now_ms) {
  const auto key = std::make_pair(address, connected);
  if (auto found = shown_at_.find(key);
      found != shown_at_.end() && now_ms - found->second < kQuietMs) {
    return false;
  }
  // Old entries go, so that the records stay small whatever the storm.
  std::erase_if(shown_at_, [&](const auto& entry) { return now_ms - entry.second >= kQuietMs; });
  while (!connected_at_.empty() && now_ms - connected_at_.front() >= kQuietMs) {
    connected_at_.pop_front();
  }
  if (connected && connected_at_.size() >= kMostConnectedInAll) return false;
  shown_at_[key] = now_ms;
  if (connected) connected_at_.push_back(now_ms);
  return true;
}

}  // namespace presence
