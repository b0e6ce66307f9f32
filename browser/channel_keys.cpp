#include "browser/channel_keys.h"

namespace browser {
namespace {

platform::Bytes Join(const platform::Bytes& a, const platform::Bytes& b) {
  platform::Bytes joined(a);
  joined.insert(joined.end(), b.begin(), b.end());
  return joined;
}

platform::Bytes Derive(platform::ICrypto& crypto, const platform::Bytes& key,
                       const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce,
                       std::string_view label) {
  return Hkdf(crypto, key, Join(host_nonce, browser_nonce), label,
              platform::ICrypto::kCipherKeySize);
}

}  // namespace

platform::Bytes Hkdf(platform::ICrypto& crypto, const platform::Bytes& secret,
                     const platform::Bytes& salt, std::string_view info, std::size_t size) {
  constexpr std::size_t kHash = platform::ICrypto::kMacSize;
  if (size > kHash * 255) return {};
  // Extract: an empty salt stands for a hash's length of zeros.
  const platform::Bytes pseudo_random_key = crypto.HmacSha256(
      salt.empty() ? platform::Bytes(kHash, 0) : salt, secret.data(), secret.size());
  if (pseudo_random_key.size() != kHash) return {};
  // Expand: T(i) = HMAC(PRK, T(i-1) ‖ info ‖ i).
  platform::Bytes out, block;
  for (std::uint8_t i = 1; out.size() < size; ++i) {
    platform::Bytes input(block);
    input.insert(input.end(), info.begin(), info.end());
    input.push_back(i);
    block = crypto.HmacSha256(pseudo_random_key, input.data(), input.size());
    if (block.size() != kHash) return {};
    out.insert(out.end(), block.begin(), block.end());
  }
  out.resize(size);
  return out;
}

bool ChannelKeys::Valid() const {
  return from_browser.size() == platform::ICrypto::kCipherKeySize &&
         from_host.size() == platform::ICrypto::kCipherKeySize;
}

ChannelKeys ChannelKeysOf(platform::ICrypto& crypto, const platform::Bytes& key,
                          const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce) {
  return {Derive(crypto, key, host_nonce, browser_nonce, "mirovanta2 browser to host"),
          Derive(crypto, key, host_nonce, browser_nonce, "mirovanta2 host to browser")};
}

platform::Bytes OwnKeyOf(platform::ICrypto& crypto, const platform::Bytes& code_key,
                         const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce) {
  return Derive(crypto, code_key, host_nonce, browser_nonce, "mirovanta2 own key");
}

}  // namespace browser
