#include "browser/channel_proof.h"

#include <string_view>

namespace browser {
namespace {

platform::Bytes Mac(platform::ICrypto& crypto, const platform::Bytes& key, std::string_view label,
                    const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce) {
  platform::Bytes input(label.begin(), label.end());
  input.insert(input.end(), host_nonce.begin(), host_nonce.end());
  input.insert(input.end(), browser_nonce.begin(), browser_nonce.end());
  return crypto.HmacSha256(key, input.data(), input.size());
}

}  // namespace

platform::Bytes ProofOf(platform::ICrypto& crypto, const platform::Bytes& key,
                        const platform::Bytes& host_nonce, const platform::Bytes& browser_nonce) {
  return Mac(crypto, key, "mirovanta2 proof", host_nonce, browser_nonce);
}

bool SameBytes(const platform::Bytes& a, const platform::Bytes& b) {
  if (a.size() != b.size()) return false;
  std::uint8_t differs = 0;
  for (std::size_t i = 0; i < a.size(); ++i) differs |= a[i] ^ b[i];
  return differs == 0;
}

const platform::Bytes& TChannelProof::Challenge() {
  if (host_nonce_.empty()) host_nonce_ = crypto_.RandomBytes(kNonceBytes);
  return host_nonce_;
}

bool TChannelProof::Verify(const platform::Bytes& key, const platform::Bytes& browser_nonce,
                           const platform::Bytes& proof) {
  // No challenge yet, or one answered already: nothing can be proved.
  if (answered_ || host_nonce_.size() != kNonceBytes) return false;
  answered_ = true;
  if (browser_nonce.size() != kNonceBytes || key.empty()) return false;
  const platform::Bytes expected = ProofOf(crypto_, key, host_nonce_, browser_nonce);
  // An empty MAC is the system failing: it proves nothing.
  return expected.size() == platform::ICrypto::kMacSize && SameBytes(expected, proof);
}

}  // namespace browser
