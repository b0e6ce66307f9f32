#pragma once
// The keys the browser remote's server may check a proof against, shared
// between the main thread (which loads, pairs and forgets) and the server's
// thread (which proves each connection). It holds the paired browsers' keys
// and the one key the pairing window offers, until a browser claims it.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/crypto.h"

namespace browser {

class TKeyRing {
 public:
  struct Found {
    platform::Bytes key;
    bool pairing = false;  // the pairing window's key, not claimed yet
  };

  void Add(const std::string& id, const platform::Bytes& key);
  void Forget(const std::string& id);
  // The pairing window's key, claimable until `until_ms`; a key offered
  // before is void from now on.
  void Offer(const std::string& id, const platform::Bytes& key, std::uint64_t until_ms);
  void Withdraw();

  // The key a browser names by its id, if one may be proved now.
  std::optional<Found> Find(const std::string& id, std::uint64_t now_ms) const;
  // The pairing key goes to the first browser that proves it: true once.
  bool Claim(const std::string& id, std::uint64_t now_ms);
  // Whether the browser is still paired (a Forget ends its next command).
  bool Holds(const std::string& id) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, platform::Bytes> paired_;
  std::string offered_id_;
  platform::Bytes offered_key_;
  std::uint64_t offered_until_ = 0;
};

}  // namespace browser
