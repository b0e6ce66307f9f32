#pragma once
// Every message of a proved connection, sealed under that connection's
// session key:
//
//   counter (8 bytes, big-endian) ‖ payload ‖ HMAC-SHA256(session key,
//   direction ‖ counter ‖ payload)
//
// where the direction is 'B' from the browser and 'H' from the host, so that
// a message cannot be sent back to the side that sealed it. The counter of
// each direction starts at 1 and only goes up: a message replayed, or sent
// again with an older counter, is refused, as is one with a single bit
// changed. A refused message ends the connection.
#include <cstdint>
#include <optional>

#include "platform/crypto.h"

namespace browser {

enum class Direction : std::uint8_t { FromBrowser = 'B', FromHost = 'H' };

inline constexpr std::size_t kCounterBytes = 8;
inline constexpr std::size_t kSealBytes = kCounterBytes + platform::ICrypto::kMacSize;

// Seals `payload` as message number `counter` of one direction.
platform::Bytes Seal(platform::ICrypto& crypto, const platform::Bytes& session_key,
                     Direction direction, std::uint64_t counter, const platform::Bytes& payload);

class TSealedChannel {
 public:
  TSealedChannel(platform::ICrypto& crypto, platform::Bytes session_key)
      : crypto_(crypto), key_(std::move(session_key)) {}

  // The payload of a browser's message, or none: then the connection ends.
  std::optional<platform::Bytes> Open(const platform::Bytes& message);
  // The host's next message to the browser.
  platform::Bytes Seal(const platform::Bytes& payload);
  std::uint64_t LastReceived() const { return received_; }

 private:
  platform::ICrypto& crypto_;
  platform::Bytes key_;
  std::uint64_t received_ = 0;  // the browser's last counter taken
  std::uint64_t sent_ = 0;
};

}  // namespace browser
