#pragma once
// Start and stop of the laser pointer companion, "Laser.exe" beside the host.
#include <cstdint>
#include <string>

#include "launch/program_closer.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace media {

inline constexpr const char* kCompanionFile = "Laser.exe";
inline constexpr const char* kCompanionClass = "TLaserForm";
inline constexpr const char* kCompanionTitle = "Laser";

class TLaserCompanion {
 public:
  // `exe_directory`: the host's folder, with its trailing backslash.
  // `closer` ends a companion that has no window to be asked yet.
  TLaserCompanion(platform::IShell& shell, platform::IWindows& windows,
                  launch::TProgramCloser& closer, std::string exe_directory);

  void StartLaserCompanion();
  void StopLaserCompanion();

  // Non-zero while the companion counts as started.
  std::intptr_t LaserWnd = 0;

 private:
  platform::IShell& shell_;
  platform::IWindows& windows_;
  launch::TProgramCloser& closer_;
  std::string exe_directory_;
};

}  // namespace media
