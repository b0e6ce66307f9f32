#pragma once
// "Open.exe" beside the host: asks the user where a program is when the host
// cannot find it.
#include <string>

#include "launch/launch_outcome.h"
#include "platform/shell.h"

namespace launch {

inline constexpr const char* kLocatorFile = "Open.exe";

class TLocator {
 public:
  // `exe_directory`: the host's folder, with its trailing backslash.
  TLocator(platform::IShell& shell, std::string exe_directory);

  LaunchOutcome RunOpenExe(const std::string& parameter);

 private:
  platform::IShell& shell_;
  std::string exe_directory_;
};

}  // namespace launch
