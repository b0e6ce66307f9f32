// The system's libcrypto behind the cryptography interface, for the native
// build and its tests.
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <memory>

#include "platform/crypto.h"

namespace platform {
namespace {

struct CipherContextFree {
  void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

bool Sizes(const ICrypto::CipherInput& in) {
  return in.key.size() == ICrypto::kCipherKeySize && in.nonce.size() == ICrypto::kCipherNonceSize;
}

// A context keyed for one message, its associated data taken in.
CipherContext Begin(const ICrypto::CipherInput& in, bool encrypt) {
  CipherContext context(EVP_CIPHER_CTX_new());
  int ignored = 0;
  const int ok = context &&
                 EVP_CipherInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, in.key.data(),
                                   in.nonce.data(), encrypt ? 1 : 0) == 1 &&
                 EVP_CipherUpdate(context.get(), nullptr, &ignored, in.associated.data(),
                                  static_cast<int>(in.associated.size())) == 1;
  return ok ? std::move(context) : nullptr;
}

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

  Bytes Encrypt(const CipherInput& in, const std::uint8_t* data, std::size_t size) override {
    if (!Sizes(in)) return {};
    CipherContext context = Begin(in, true);
    Bytes out(size + kCipherTagSize);
    int length = 0, last = 0;
    if (!context ||
        EVP_EncryptUpdate(context.get(), out.data(), &length, data, static_cast<int>(size)) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out.data() + length, &last) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kCipherTagSize,
                            out.data() + size) != 1) {
      return {};
    }
    return out;
  }

  std::optional<Bytes> Decrypt(const CipherInput& in, const std::uint8_t* sealed,
                               std::size_t size) override {
    if (!Sizes(in) || size < kCipherTagSize) return std::nullopt;
    const std::size_t text = size - kCipherTagSize;
    CipherContext context = Begin(in, false);
    Bytes out(text + 1);  // never empty, so that data() is usable for an empty text
    Bytes tag(sealed + text, sealed + size);
    int length = 0, last = 0;
    if (!context ||
        EVP_DecryptUpdate(context.get(), out.data(), &length, sealed, static_cast<int>(text)) !=
            1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kCipherTagSize, tag.data()) != 1 ||
        EVP_DecryptFinal_ex(context.get(), out.data() + length, &last) != 1) {
      return std::nullopt;
    }
    out.resize(text);
    return out;
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
