#pragma once
#include "platform/files.h"

namespace platform::win32 {

class Win32Files final : public IFiles {
 public:
  bool CreateFolder(const std::string& path) override;
  std::int64_t FileSize(const std::string& path) override;
  bool Append(const std::string& path, const std::string& bytes) override;
  bool Replace(const std::string& from, const std::string& to) override;
};

}  // namespace platform::win32
