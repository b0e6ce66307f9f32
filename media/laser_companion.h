#pragma once
// Start and stop of the laser pointer companion, "Laser.exe" beside the host.
#include <cstdint>
#include <string>

#include "platform/processes.h"
#include "platform/shell.h"

namespace media {

inline constexpr const char* kCompanionFile = "Laser.exe";
inline constexpr const char* kCompanionClass = "TLaserForm";
inline constexpr const char* kCompanionTitle = "Laser";

class TLaserCompanion {
 public:
  // `exe_directory`: the host's folder, with its trailing backslash.
  // `processes`: to end a companion this host started that has no window
  // to be asked yet.
  TLaserCompanion(platform::IShell& shell, platform::IWindows& windows,
                  platform::IProcesses& processes, std::string exe_directory);

  void StartLaserCompanion();
  void StopLaserCompanion();

  // Non-zero while the companion counts as started.
  std::intptr_t LaserWnd = 0;

 private:
  void EndStartedCompanion();

  platform::IShell& shell_;
  platform::IWindows& windows_;
  platform::IProcesses& processes_;
  std::string exe_directory_;
};

}  // namespace media
