#pragma once
// How a browser proves, on each connection, that it holds a paired key (or
// the pairing code's key). The key itself never crosses the network.
//
//   host → browser   challenge: 32 random bytes (the host's nonce)
//   browser → host   its own 32 random bytes and
//                    HMAC-SHA256(key, "mirovanta2 proof" ‖ host nonce ‖ browser nonce)
//
// Both nonces then make the connection's keys (browser/channel_keys.h). A
// fresh host nonce per connection makes a proof seen on the network useless
// on any other connection.
#include "platform/crypto.h"

namespace browser {

inline constexpr std::size_t kNonceBytes = 32;

// Both sides' computation, so that the host's tests can play the browser.
platform::Bytes ProofOf(platform::ICrypto& crypto, const platform::Bytes& key,
                        const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce);
// Equal in time that does not depend on where they differ.
bool SameBytes(const platform::Bytes& a, const platform::Bytes& b);

class TChannelProof {
 public:
  explicit TChannelProof(platform::ICrypto& crypto) : crypto_(crypto) {}

  // The challenge of this connection; empty when the system gives no random bytes.
  const platform::Bytes& Challenge();
  // Whether `proof` shows the browser holds `key`. A connection answers
  // once: a second answer is refused.
  bool Verify(const platform::Bytes& key, const platform::Bytes& browser_nonce,
              const platform::Bytes& proof);

 private:
  platform::ICrypto& crypto_;
  platform::Bytes host_nonce_;
  bool answered_ = false;
};

}  // namespace browser
