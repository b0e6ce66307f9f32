#pragma once
// Every message of a proved connection, encrypted and authenticated with
// AES-256-GCM under its direction's key (browser/channel_keys.h):
//
//   number (8 bytes, big-endian) ‖ ciphertext ‖ tag (16 bytes)
//
// with the nonce 4 zero bytes ‖ number and the associated data the
// version byte ‖ number. Each direction numbers its messages from 1, one up
// each time: a message that is not exactly the next (replayed, skipped,
// reordered), one sealed for the other direction or with any bit changed is
// refused, and a refused message ends the connection. A key is used for one
// connection only, so a nonce never repeats under it.
#include <cstdint>
#include <optional>

#include "browser/channel_keys.h"
#include "platform/crypto.h"

namespace browser {

inline constexpr std::uint8_t kChannelVersion = 2;
inline constexpr std::size_t kNumberBytes = 8;
inline constexpr std::size_t kSealBytes = kNumberBytes + platform::ICrypto::kCipherTagSize;

// Message number `number` under `key`, or none when the system fails.
platform::Bytes Seal(platform::ICrypto& crypto, const platform::Bytes& key, std::uint64_t number,
                     const platform::Bytes& payload);
// The payload when `message` is message number `number` under `key`.
std::optional<platform::Bytes> Open(platform::ICrypto& crypto, const platform::Bytes& key,
                                    std::uint64_t number, const platform::Bytes& message);

// The host's end of one connection.
class TSealedChannel {
 public:
  TSealedChannel(platform::ICrypto& crypto, ChannelKeys keys)
      : crypto_(crypto), keys_(std::move(keys)) {}

  // The payload of the browser's next message, or none: then the connection ends.
  std::optional<platform::Bytes> Open(const platform::Bytes& message);
  // The host's next message to the browser; empty when the system fails.
  platform::Bytes Seal(const platform::Bytes& payload);
  std::uint64_t LastReceived() const { return received_; }

 private:
  platform::ICrypto& crypto_;
  ChannelKeys keys_;
  std::uint64_t received_ = 0;  // the browser's last number taken
  std::uint64_t sent_ = 0;
};

}  // namespace browser
