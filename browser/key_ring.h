#pragma once
// The keys the browser remote's server may check a proof against, shared
// between the main thread (which loads, pairs and forgets) and the server's
// thread (which proves each connection). It holds the paired browsers' keys
// and the one key the pairing window offers, until a browser claims it. A
// claimed code's key is gone from then on: the browser that claimed it has
// a key of its own, and the code's id is remembered only to tell a second
// browser with the same code why it is refused.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "platform/crypto.h"

namespace browser {

class TKeyRing {
 public:
  struct Found {
    platform::Bytes key;
    bool pairing = false;  // the pairing window's key, not claimed yet
  };
  static constexpr std::size_t kUsedCodesKept = 64;

  void Add(const std::string& id, const platform::Bytes& key);
  void Forget(const std::string& id);
  // The pairing window's key, claimable until `until_ms`; a key offered
  // before is void from now on.
  void Offer(const std::string& id, const platform::Bytes& key, std::uint64_t until_ms);
  void Withdraw();

  // The key a browser names by its id, if one may be proved now.
  std::optional<Found> Find(const std::string& id, std::uint64_t now_ms) const;
  // The pairing code named `code_id` goes to the first browser that proves
  // it, which is paired from then on under `own_id` with `own_key`: true once.
  bool Claim(const std::string& code_id, const std::string& own_id, const platform::Bytes& own_key,
             std::uint64_t now_ms);
  // Whether `id` names a pairing code that a browser claimed already.
  bool WasClaimed(const std::string& id) const;
  // Whether the browser is still paired (a Forget ends its next command).
  bool Holds(const std::string& id) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, platform::Bytes> paired_;
  std::string offered_id_;
  platform::Bytes offered_key_;
  std::uint64_t offered_until_ = 0;
  std::set<std::string> claimed_codes_;
};

}  // namespace browser
