#include "browser/sealed_channel.h"

#include "browser/channel_proof.h"

namespace browser {
namespace {

platform::Bytes Mac(platform::ICrypto& crypto, const platform::Bytes& key, Direction direction,
                    const std::uint8_t* counter_and_payload, std::size_t size) {
  platform::Bytes input;
  input.reserve(1 + size);
  input.push_back(static_cast<std::uint8_t>(direction));
  input.insert(input.end(), counter_and_payload, counter_and_payload + size);
  return crypto.HmacSha256(key, input.data(), input.size());
}

}  // namespace

platform::Bytes Seal(platform::ICrypto& crypto, const platform::Bytes& session_key,
                     Direction direction, std::uint64_t counter, const platform::Bytes& payload) {
  platform::Bytes message;
  message.reserve(kSealBytes + payload.size());
  for (int shift = 56; shift >= 0; shift -= 8) {
    message.push_back(static_cast<std::uint8_t>(counter >> shift));
  }
  message.insert(message.end(), payload.begin(), payload.end());
  const platform::Bytes mac = Mac(crypto, session_key, direction, message.data(), message.size());
  message.insert(message.end(), mac.begin(), mac.end());
  return message;
}

std::optional<platform::Bytes> TSealedChannel::Open(const platform::Bytes& message) {
  if (message.size() < kSealBytes) return std::nullopt;
  const std::size_t sealed = message.size() - platform::ICrypto::kMacSize;
  const platform::Bytes expected =
      Mac(crypto_, key_, Direction::FromBrowser, message.data(), sealed);
  const platform::Bytes mac(message.begin() + static_cast<std::ptrdiff_t>(sealed), message.end());
  if (expected.size() != platform::ICrypto::kMacSize || !SameBytes(expected, mac)) {
    return std::nullopt;
  }
  std::uint64_t counter = 0;
  for (std::size_t i = 0; i < kCounterBytes; ++i) counter = counter << 8 | message[i];
  if (counter <= received_) return std::nullopt;  // replayed, or older than one taken
  received_ = counter;
  return platform::Bytes(message.begin() + kCounterBytes,
                         message.begin() + static_cast<std::ptrdiff_t>(sealed));
}

platform::Bytes TSealedChannel::Seal(const platform::Bytes& payload) {
  return browser::Seal(crypto_, key_, Direction::FromHost, ++sent_, payload);
}

}  // namespace browser
