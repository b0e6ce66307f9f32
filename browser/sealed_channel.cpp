#include "browser/sealed_channel.h"

namespace browser {
namespace {

platform::Bytes NumberBytes(std::uint64_t number) {
  platform::Bytes bytes;
  for (int shift = 56; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<std::uint8_t>(number >> shift));
  return bytes;
}

platform::Bytes NonceOf(std::uint64_t number) {
  platform::Bytes nonce(platform::ICrypto::kCipherNonceSize - kNumberBytes, 0);
  const platform::Bytes tail = NumberBytes(number);
  nonce.insert(nonce.end(), tail.begin(), tail.end());
  return nonce;
}

platform::Bytes AssociatedOf(std::uint64_t number) {
  platform::Bytes associated{kChannelVersion};
  const platform::Bytes tail = NumberBytes(number);
  associated.insert(associated.end(), tail.begin(), tail.end());
  return associated;
}

}  // namespace

platform::Bytes Seal(platform::ICrypto& crypto, const platform::Bytes& key, std::uint64_t number,
                     const platform::Bytes& payload) {
  const platform::Bytes nonce = NonceOf(number), associated = AssociatedOf(number);
  const platform::Bytes sealed =
      crypto.Encrypt({key, nonce, associated}, payload.data(), payload.size());
  if (sealed.size() != payload.size() + platform::ICrypto::kCipherTagSize) return {};
  platform::Bytes message = NumberBytes(number);
  message.insert(message.end(), sealed.begin(), sealed.end());
  return message;
}

std::optional<platform::Bytes> Open(platform::ICrypto& crypto, const platform::Bytes& key,
                                    std::uint64_t number, const platform::Bytes& message) {
  if (message.size() < kSealBytes) return std::nullopt;
  if (NumberBytes(number) != platform::Bytes(message.begin(), message.begin() + kNumberBytes)) {
    return std::nullopt;  // not the next one: replayed, skipped or reordered
  }
  const platform::Bytes nonce = NonceOf(number), associated = AssociatedOf(number);
  return crypto.Decrypt({key, nonce, associated}, message.data() + kNumberBytes,
                        message.size() - kNumberBytes);
}

std::optional<platform::Bytes> TSealedChannel::Open(const platform::Bytes& message) {
  std::optional<platform::Bytes> payload =
      browser::Open(crypto_, keys_.from_browser, received_ + 1, message);
  if (payload) ++received_;
  return payload;
}

platform::Bytes TSealedChannel::Seal(const platform::Bytes& payload) {
  return browser::Seal(crypto_, keys_.from_host, ++sent_, payload);
}

}  // namespace browser
