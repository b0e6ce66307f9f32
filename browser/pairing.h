#pragma once
// The key that pairs one browser. Each opening of the pairing window makes a
// new key from the system's random source; the key pairs the first browser
// that proves it within 10 minutes, and no other. A key made before is void
// from then on.
#include <cstdint>
#include <optional>

#include "platform/crypto.h"

namespace browser {

class TPairing {
 public:
  static constexpr std::size_t kKeyBytes = 32;  // 256 bits; the floor is 128
  static constexpr std::uint64_t kValidForMs = 10 * 60 * 1000;

  explicit TPairing(platform::ICrypto& crypto) : crypto_(crypto) {}

  // A new key, or none when the system gives no random bytes.
  std::optional<platform::Bytes> Open(std::uint64_t now_ms);
  // The key waiting for its browser, while it may still be claimed.
  std::optional<platform::Bytes> Waiting(std::uint64_t now_ms) const;
  // Once the browser has proved the key: nobody can claim it again.
  void Claimed() { key_.reset(); }
  void Close() { key_.reset(); }

 private:
  platform::ICrypto& crypto_;
  std::optional<platform::Bytes> key_;
  std::uint64_t opened_at_ = 0;
};

}  // namespace browser
