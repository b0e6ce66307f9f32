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

struct KeyTraits {
  using Type = BCRYPT_KEY_HANDLE;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { BCryptDestroyKey(h); }
};

PUCHAR In(const std::uint8_t* data) { return const_cast<PUCHAR>(data); }

class CngCrypto final : public ICrypto {
 public:
  CngCrypto() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&hmac_, BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
      hmac_ = nullptr;  // every HMAC then fails, and says so by its empty result
    }
    // Without GCM every message fails to encrypt, and the browser is refused.
    const bool gcm =
        Succeeded(BCryptOpenAlgorithmProvider(&aes_, BCRYPT_AES_ALGORITHM, nullptr, 0)) &&
        Succeeded(
            BCryptSetProperty(aes_, BCRYPT_CHAINING_MODE,
                              reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                              sizeof(BCRYPT_CHAIN_MODE_GCM), 0));
    if (!gcm && aes_ != nullptr) {
      BCryptCloseAlgorithmProvider(aes_, 0);
      aes_ = nullptr;
    }
  }
  ~CngCrypto() override {
    if (hmac_ != nullptr) BCryptCloseAlgorithmProvider(hmac_, 0);
    if (aes_ != nullptr) BCryptCloseAlgorithmProvider(aes_, 0);
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

  Bytes Encrypt(const CipherInput& in, const std::uint8_t* data, std::size_t size) override {
    Bytes out(size + kCipherTagSize);
    UniqueResource<KeyTraits> key;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    if (!Prepare(in, key, info, out.data() + size)) return {};
    ULONG written = 0;
    const NTSTATUS status =
        BCryptEncrypt(key.get(), In(data), static_cast<ULONG>(size), &info, nullptr, 0, out.data(),
                      static_cast<ULONG>(size), &written, 0);
    return Succeeded(status) && written == size ? out : Bytes{};
  }

  std::optional<Bytes> Decrypt(const CipherInput& in, const std::uint8_t* sealed,
                               std::size_t size) override {
    if (size < kCipherTagSize) return std::nullopt;
    const std::size_t text = size - kCipherTagSize;
    Bytes tag(sealed + text, sealed + size);
    Bytes out(text + 1);  // never empty, so that data() is usable for an empty text
    UniqueResource<KeyTraits> key;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    if (!Prepare(in, key, info, tag.data())) return std::nullopt;
    ULONG written = 0;
    // A changed byte shows as STATUS_AUTH_TAG_MISMATCH, a failure like any other.
    const NTSTATUS status =
        BCryptDecrypt(key.get(), In(sealed), static_cast<ULONG>(text), &info, nullptr, 0,
                      out.data(), static_cast<ULONG>(text), &written, 0);
    if (!Succeeded(status) || written != text) return std::nullopt;
    out.resize(text);
    return out;
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
  // The key of one message and the mode's parameters; `tag` is written by an
  // encryption and read by a decryption.
  bool Prepare(const CipherInput& in, UniqueResource<KeyTraits>& key,
               BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO& info, std::uint8_t* tag) {
    if (aes_ == nullptr || in.key.size() != kCipherKeySize || in.nonce.size() != kCipherNonceSize) {
      return false;
    }
    if (!Succeeded(BCryptGenerateSymmetricKey(aes_, key.put(), nullptr, 0, In(in.key.data()),
                                              static_cast<ULONG>(in.key.size()), 0))) {
      return false;
    }
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = In(in.nonce.data());
    info.cbNonce = static_cast<ULONG>(in.nonce.size());
    info.pbAuthData = in.associated.empty() ? nullptr : In(in.associated.data());
    info.cbAuthData = static_cast<ULONG>(in.associated.size());
    info.pbTag = tag;
    info.cbTag = kCipherTagSize;
    return true;
  }

  BCRYPT_ALG_HANDLE hmac_ = nullptr;
  BCRYPT_ALG_HANDLE aes_ = nullptr;
};

}  // namespace

ICrypto& SystemCrypto() {
  static CngCrypto crypto;
  return crypto;
}

}  // namespace platform
