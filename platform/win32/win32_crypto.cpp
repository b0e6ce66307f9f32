// Windows' CNG behind the cryptography interface.
#include <windows.h>
#include <bcrypt.h>

#include "platform/crypto.h"

namespace platform {
namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

class CngCrypto final : public ICrypto {
 public:
  CngCrypto() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&hmac_, BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
      hmac_ = nullptr;  // every HMAC then fails, and says so by its empty result
    }
  }
  ~CngCrypto() override {
    if (hmac_ != nullptr) BCryptCloseAlgorithmProvider(hmac_, 0);
  }
  CngCrypto(const CngCrypto&) = delete;
  CngCrypto& operator=(const CngCrypto&) = delete;

  Bytes HmacSha256(const Bytes& key, const std::uint8_t* data, std::size_t size) override {
    if (hmac_ == nullptr) return {};
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!Succeeded(BCryptCreateHash(hmac_, &hash, nullptr, 0, const_cast<PUCHAR>(key.data()),
                                    static_cast<ULONG>(key.size()), 0))) {
      return {};
    }
    Bytes mac(kMacSize);
    const bool done =
        Succeeded(BCryptHashData(hash, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0)) &&
        Succeeded(BCryptFinishHash(hash, mac.data(), static_cast<ULONG>(mac.size()), 0));
    BCryptDestroyHash(hash);
    return done ? mac : Bytes{};
  }

  Bytes RandomBytes(std::size_t size) override {
    Bytes bytes(size);
    if (!Succeeded(BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(size),
                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
      return {};
    }
    return bytes;
  }

 private:
  BCRYPT_ALG_HANDLE hmac_ = nullptr;
};

}  // namespace

ICrypto& SystemCrypto() {
  static CngCrypto crypto;
  return crypto;
}

}  // namespace platform
