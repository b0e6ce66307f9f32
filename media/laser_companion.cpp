#include "media/laser_companion.h"

#include "launch/path_text.h"

namespace media {
namespace {

constexpr std::intptr_t kShellErrorLimit = 32;  // the shell's results up to 32 are errors

}  // namespace

TLaserCompanion::TLaserCompanion(platform::IShell& shell, platform::IWindows& windows,
                                 platform::IProcesses& processes, std::string exe_directory)
    : shell_(shell),
      windows_(windows),
      processes_(processes),
      exe_directory_(std::move(exe_directory)) {}

void TLaserCompanion::StartLaserCompanion() {
  if (LaserWnd != 0) return;
  const std::intptr_t result = shell_.Execute("open", exe_directory_ + kCompanionFile, "-d", "",
                                              platform::ShowAs::Maximized);
  // A start the shell refused leaves the companion unmarked, so that the next
  // request tries again.
  LaserWnd = result > kShellErrorLimit ? result : 0;
}

void TLaserCompanion::StopLaserCompanion() {
  if (LaserWnd == 0) return;
  LaserWnd = windows_.FindTopWindow(kCompanionClass, kCompanionTitle);
  if (LaserWnd != 0) {
    windows_.PostClose(LaserWnd);
  } else {
    // A companion started moments ago may not have made its window yet, and
    // would stay on the screen with nobody left to close it (at the host's
    // exit, or an "off" right after the "on"). The dot keeps nothing that
    // ending it could lose. A message without a window would land in the
    // host's own queue instead.
    EndStartedCompanion();
  }
  LaserWnd = 0;
}

// Only a process this host started: another program of the same file name
// is none of the host's business.
void TLaserCompanion::EndStartedCompanion() {
  const auto processes = processes_.Snapshot();
  if (!processes) return;  // nothing to go by; the companion stays as before
  const std::uint32_t own = processes_.OwnId();
  const std::string wanted = launch::UpperAZ(kCompanionFile);
  for (const platform::ProcessEntry& process : *processes) {
    if (process.parent_id == own &&
        launch::UpperAZ(launch::FileNamePart(process.exe_file)) == wanted) {
      processes_.Terminate(process.id, 0);
    }
  }
}

}  // namespace media
