// Windows' CNG behind the cryptography interface.
#include <windows.h>
#include <bcrypt.h>

#include "platform/crypto.h"
#include "platform/win32/win32_handles.h"

namespace platform {
namespace {

using win32::UniqueResource;

bool Succeeded(NTSTATUS status) { return status >= 0; }

struct HashTraits {
  using Type = BCRYPT_HASH_HANDLE;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { BCryptDestroyHash(h); }
};

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
    UniqueResource<HashTraits> hash;
    if (!Succeeded(BCryptCreateHash(hmac_, hash.put(), nullptr, 0, const_cast<PUCHAR>(key.data()),
                                    static_cast<ULONG>(key.size()), 0))) {
      return {};
    }
    Bytes mac(kMacSize);
    const bool done =
        Succeeded(
            BCryptHashData(hash.get(), const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0)) &&
        Succeeded(BCryptFinishHash(hash.get(), mac.data(), static_cast<ULONG>(mac.size()), 0));
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
