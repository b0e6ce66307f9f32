#pragma once
#include "platform/system.h"

namespace platform::win32 {

class Win32System final : public ISystem {
 public:
  OsVersion Version() override;
  std::string TempPath(std::size_t size) override;
  std::string ComputerName(std::size_t size) override;
  bool FileExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool ChangeDirectory(const std::string& path) override;
  std::string ExpandEnvironment(const std::string& text) override;
  std::optional<std::array<std::uint16_t, 4>> FileVersion(const std::string& path) override;
  std::uint64_t TickCountMs() override;
  LocalTime LocalNow() override;
};

}  // namespace platform::win32
