#include "browser/pairing.h"

namespace browser {

std::optional<platform::Bytes> TPairing::Open(std::uint64_t now_ms) {
  key_.reset();
  platform::Bytes key = crypto_.RandomBytes(kKeyBytes);
  if (key.size() != kKeyBytes) return std::nullopt;
  key_ = key;
  opened_at_ = now_ms;
  return key;
}

std::optional<platform::Bytes> TPairing::Waiting(std::uint64_t now_ms) const {
  if (!key_ || now_ms - opened_at_ >= kValidForMs) return std::nullopt;
  return key_;
}

}  // namespace browser
