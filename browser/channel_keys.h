#pragma once
// The keys of one proved connection, and the key a browser gets of its own
// when it claims a pairing code. Both come from HKDF-SHA256 (RFC 5869) over
// the system's HMAC, with both sides' fresh nonces as the salt:
//
//   browser → host  HKDF(key, host nonce ‖ browser nonce, "mirovanta2 browser to host")
//   host → browser  HKDF(key, host nonce ‖ browser nonce, "mirovanta2 host to browser")
//   own key         HKDF(code's key, host nonce ‖ browser nonce, "mirovanta2 own key")
//
// A key per direction keeps a message from being sent back to the side that
// sealed it; fresh nonces give each connection keys of its own.
#include <string_view>

#include "platform/crypto.h"

namespace browser {

// HKDF-SHA256 of `size` bytes (at most 32 × 255), or none when the system's
// HMAC fails.
platform::Bytes Hkdf(platform::ICrypto& crypto, const platform::Bytes& secret,
                     const platform::Bytes& salt, std::string_view info, std::size_t size);

struct ChannelKeys {
  platform::Bytes from_browser;
  platform::Bytes from_host;
  bool Valid() const;
};

ChannelKeys ChannelKeysOf(platform::ICrypto& crypto, const platform::Bytes& key,
                          const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce);
platform::Bytes OwnKeyOf(platform::ICrypto& crypto, const platform::Bytes& code_key,
                         const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce);

}  // namespace browser
