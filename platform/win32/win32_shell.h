#pragma once
#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell final : public IShell {
 public:
  std::intptr_t Execute(const std::string& operation, const std::string& file,
                        const std::string& parameters, const std::string& directory,
                        ShowAs show) override;
};

}  // namespace platform::win32
