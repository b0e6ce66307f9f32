#pragma once
// Data protection as a recorder: a secret is "wrapped" for one user by a
// marker and a scramble that another user's fake cannot undo.
#include <optional>
#include <string>

#include "platform/protect.h"

namespace doubles {

class FakeProtect final : public platform::IProtect {
 public:
  std::string user = "ann";
  bool refuse = false;  // the system will not wrap

  std::optional<platform::Bytes> Protect(const platform::Bytes& secret) override {
    if (refuse) return std::nullopt;
    platform::Bytes wrapped(user.begin(), user.end());
    wrapped.push_back('|');
    for (std::uint8_t byte : secret) wrapped.push_back(byte ^ 0x5a);
    return wrapped;
  }
  std::optional<platform::Bytes> Unprotect(const platform::Bytes& wrapped) override {
    const platform::Bytes mark = [&] {
      platform::Bytes m(user.begin(), user.end());
      m.push_back('|');
      return m;
    }();
    if (wrapped.size() < mark.size() || !std::equal(mark.begin(), mark.end(), wrapped.begin())) {
      return std::nullopt;
    }
    platform::Bytes secret;
    for (std::size_t i = mark.size(); i < wrapped.size(); ++i) secret.push_back(wrapped[i] ^ 0x5a);
    return secret;
  }
};

}  // namespace doubles
