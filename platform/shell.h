#pragma once
// Shell and notification area family.
#include <cstdint>
#include <string>

namespace platform {

inline constexpr int kShowNormal = 5;      // SW_SHOW
inline constexpr int kShowMaximized = 3;   // SW_SHOWMAXIMIZED

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecuteA: above 32 when the start was made, else the error code.
  virtual std::intptr_t Execute(const std::string& operation, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int show) = 0;
};

}  // namespace platform
