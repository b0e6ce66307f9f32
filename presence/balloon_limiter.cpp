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
  std::deque<std::uint64_t>& in_all = shown_in_all_[connected ? 1 : 0];
  while (!in_all.empty() && now_ms - in_all.front() >= kQuietMs) in_all.pop_front();
  if (in_all.size() >= kMostOfAKindInAll) return false;
  shown_at_[key] = now_ms;
  in_all.push_back(now_ms);
  return true;
}

}  // namespace presence
