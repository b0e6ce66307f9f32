#include "browser/key_ring.h"

namespace browser {

void TKeyRing::Add(const std::string& id, const platform::Bytes& key) {
  std::lock_guard lock(mutex_);
  paired_[id] = key;
}

void TKeyRing::Forget(const std::string& id) {
  std::lock_guard lock(mutex_);
  paired_.erase(id);
}

void TKeyRing::Offer(const std::string& id, const platform::Bytes& key, std::uint64_t until_ms) {
  std::lock_guard lock(mutex_);
  offered_id_ = id;
  offered_key_ = key;
  offered_until_ = until_ms;
}

void TKeyRing::Withdraw() {
  std::lock_guard lock(mutex_);
  offered_id_.clear();
  offered_key_.clear();
}

std::optional<TKeyRing::Found> TKeyRing::Find(const std::string& id, std::uint64_t now_ms) const {
  std::lock_guard lock(mutex_);
  if (auto paired = paired_.find(id); paired != paired_.end()) return Found{paired->second, false};
  if (!offered_id_.empty() && id == offered_id_ && now_ms < offered_until_) {
    return Found{offered_key_, true};
  }
  return std::nullopt;
}

bool TKeyRing::Claim(const std::string& code_id, const std::string& own_id,
                     const platform::Bytes& own_key, std::uint64_t now_ms) {
  std::lock_guard lock(mutex_);
  if (offered_id_.empty() || code_id != offered_id_ || now_ms >= offered_until_) return false;
  paired_[own_id] = own_key;
  // Bounded: a user who pairs more than this in one run loses only the
  // reason shown to an old code's second browser, not the refusal.
  if (claimed_codes_.size() >= kUsedCodesKept) claimed_codes_.clear();
  claimed_codes_.insert(code_id);
  offered_id_.clear();
  offered_key_.clear();
  return true;
}

bool TKeyRing::WasClaimed(const std::string& id) const {
  std::lock_guard lock(mutex_);
  return claimed_codes_.count(id) != 0;
}

bool TKeyRing::Holds(const std::string& id) const {
  std::lock_guard lock(mutex_);
  return paired_.count(id) != 0;
}

}  // namespace browser
