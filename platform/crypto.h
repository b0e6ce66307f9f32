#pragma once
// Cryptography family: a keyed hash, an authenticated cipher and the
// system's random source, for the browser remote's proofs and its encrypted
// messages. Only what the system itself provides (CNG on Windows, the
// system's libcrypto natively): nothing hand-written.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

using Bytes = std::vector<std::uint8_t>;

class ICrypto {
 public:
  static constexpr std::size_t kMacSize = 32;
  static constexpr std::size_t kCipherKeySize = 32;  // AES-256
  static constexpr std::size_t kCipherNonceSize = 12;
  static constexpr std::size_t kCipherTagSize = 16;

  // What AES-256-GCM takes besides the data: a key of kCipherKeySize bytes,
  // a nonce of kCipherNonceSize never used twice with that key, and the
  // associated data, which is authenticated but not encrypted.
  struct CipherInput {
    const Bytes& key;
    const Bytes& nonce;
    const Bytes& associated;
  };

  virtual ~ICrypto() = default;
  // HMAC-SHA256 of `data` under `key`: kMacSize bytes, or none when the
  // system cannot compute it.
  virtual Bytes HmacSha256(const Bytes& key, const std::uint8_t* data, std::size_t size) = 0;
  // AES-256-GCM: the ciphertext followed by its kCipherTagSize-byte tag, or
  // none when the system cannot encrypt (or the key or nonce has the wrong size).
  virtual Bytes Encrypt(const CipherInput& in, const std::uint8_t* data, std::size_t size) = 0;
  // The plaintext of ciphertext ‖ tag when the tag holds for this key, nonce
  // and associated data; none for any change, and when the system fails.
  virtual std::optional<Bytes> Decrypt(const CipherInput& in, const std::uint8_t* sealed,
                                       std::size_t size) = 0;
  // `size` bytes from the system's random source, or none when it fails.
  virtual Bytes RandomBytes(std::size_t size) = 0;
};

// The real implementation of the build.
ICrypto& SystemCrypto();

}  // namespace platform
