#pragma once
// The maker's four utilities: found in the store or under Program Files,
// started elevated where the system has user account control.
#include <cstdint>
#include <string>

#include "launch/locator.h"
#include "launch/path_store.h"
#include "launch/program_closer.h"
#include "launch/repeat_guard.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace launch {

class TUtilityLauncher {
 public:
  TUtilityLauncher(platform::ISystem& system, platform::IShell& shell, TPathStore& store,
                   TProgramCloser& closer, TLocator& locator);

  LaunchOutcome LaunchUtility(std::uint8_t selector);
  // True when a program was there to be closed.
  bool CloseUtility(std::uint8_t selector);

  std::string ProgFilesDir;  // the 32-bit Program Files folder where there is one
  std::int32_t IsNT6 = 0;    // 1 on systems with user account control

 private:
  std::string FindUnderProgramFiles(const std::array<const char*, 2>& candidates);

  platform::ISystem& system_;
  platform::IShell& shell_;
  TPathStore& store_;
  TProgramCloser& closer_;
  TLocator& locator_;
  TRepeatGuard repeats_;
};

}  // namespace launch
