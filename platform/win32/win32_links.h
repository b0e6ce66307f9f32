#pragma once
#include "platform/shell.h"

namespace platform::win32 {

class Win32ShellLinks final : public IShellLinks {
 public:
  std::unique_ptr<ILinkSession> Begin(const std::string& target,
                                      const std::string& description) override;
};

}  // namespace platform::win32
