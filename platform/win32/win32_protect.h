#pragma once
#include "platform/protect.h"

namespace platform::win32 {

// CryptProtectData for the current user, with no prompt.
class Win32Protect final : public IProtect {
 public:
  std::optional<Bytes> Protect(const Bytes& secret) override;
  std::optional<Bytes> Unprotect(const Bytes& wrapped) override;
};

}  // namespace platform::win32
