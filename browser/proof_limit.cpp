#include "browser/proof_limit.h"

namespace browser {

bool TProofLimit::MayTry(std::uint32_t address, std::uint64_t now_ms) {
  auto found = tries_.find(address);
  if (found == tries_.end()) return true;
  if (now_ms - found->second.since >= kMinuteMs) {
    tries_.erase(found);
    return true;
  }
  return found->second.failed < kFailuresPerMinute;
}

void TProofLimit::Failed(std::uint32_t address, std::uint64_t now_ms) {
  auto found = tries_.find(address);
  if (found == tries_.end() || now_ms - found->second.since >= kMinuteMs) {
    // The ones past their minute make room. If all are young, the newcomer
    // is not counted: failing from over a thousand addresses in a minute
    // takes that many real connections, which the server's bounds already
    // slow to a trickle.
    if (found == tries_.end() && tries_.size() >= kAddresses) ForgetOld(now_ms);
    if (found == tries_.end() && tries_.size() >= kAddresses) return;
    tries_[address] = {now_ms, 1};
    return;
  }
  ++found->second.failed;
}

void TProofLimit::ForgetOld(std::uint64_t now_ms) {
  for (auto it = tries_.begin(); it != tries_.end();) {
    it = now_ms - it->second.since >= kMinuteMs ? tries_.erase(it) : std::next(it);
  }
}

}  // namespace browser
