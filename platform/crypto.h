#pragma once
// Cryptography family: a keyed hash and the system's random source, for the
// browser remote's proofs and seals. Only what the system itself provides
// (CNG on Windows, the system's libcrypto natively): nothing hand-written.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

using Bytes = std::vector<std::uint8_t>;

class ICrypto {
 public:
  static constexpr std::size_t kMacSize = 32;

  virtual ~ICrypto() = default;
  // HMAC-SHA256 of `data` under `key`: kMacSize bytes, or none when the
  // system cannot compute it.
  virtual Bytes HmacSha256(const Bytes& key, const std::uint8_t* data, std::size_t size) = 0;
  // `size` bytes from the system's random source, or none when it fails.
  virtual Bytes RandomBytes(std::size_t size) = 0;
};

// The real implementation of the build.
ICrypto& SystemCrypto();

}  // namespace platform
