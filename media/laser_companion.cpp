#include "media/laser_companion.h"

namespace media {
namespace {

constexpr std::intptr_t kShellErrorLimit = 32;  // the shell's results up to 32 are errors

}  // namespace

TLaserCompanion::TLaserCompanion(platform::IShell& shell, platform::IWindows& windows,
                                 launch::TProgramCloser& closer, std::string exe_directory)
    : shell_(shell), windows_(windows), closer_(closer), exe_directory_(std::move(exe_directory)) {}

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
    closer_.CloseProcessByName(kCompanionFile);
  }
  LaserWnd = 0;
}

}  // namespace media
