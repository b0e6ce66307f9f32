// The system's libcrypto behind the cryptography interface, for the native
// build and its tests.
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include "platform/crypto.h"

namespace platform {
namespace {

class LibcryptoCrypto final : public ICrypto {
 public:
  Bytes HmacSha256(const Bytes& key, const std::uint8_t* data, std::size_t size) override {
    Bytes mac(EVP_MAX_MD_SIZE);
    unsigned length = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), data, size, mac.data(),
             &length) == nullptr) {
      return {};
    }
    mac.resize(length);
    return mac;
  }

  Bytes RandomBytes(std::size_t size) override {
    Bytes bytes(size);
    if (RAND_bytes(bytes.data(), static_cast<int>(size)) != 1) return {};
    return bytes;
  }
};

}  // namespace

ICrypto& SystemCrypto() {
  static LibcryptoCrypto crypto;
  return crypto;
}

}  // namespace platform
