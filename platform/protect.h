#pragma once
// Data protection family: secrets kept on disk readable only by this user on
// this PC (DPAPI on Windows), for the paired browsers' keys.
#include <optional>

#include "platform/crypto.h"

namespace platform {

class IProtect {
 public:
  virtual ~IProtect() = default;
  // The secret wrapped for this user; none when the system refuses.
  virtual std::optional<Bytes> Protect(const Bytes& secret) = 0;
  // The secret back; none when it was not wrapped for this user, or was changed.
  virtual std::optional<Bytes> Unprotect(const Bytes& wrapped) = 0;
};

}  // namespace platform
