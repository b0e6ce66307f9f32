// Start and stop of the laser pointer companion, "Laser.exe" beside the host.
#include "shell/form1.h"

namespace shell {
namespace {

constexpr const char* kCompanionFile = "Laser.exe";
constexpr const char* kCompanionClass = "TLaserForm";
constexpr const char* kCompanionTitle = "Laser";
constexpr std::intptr_t kShellErrorLimit = 32;  // the shell's results up to 32 are errors

}  // namespace

std::string TForm1::CompanionPath() const { return ExeDirectory() + kCompanionFile; }

void TForm1::StartLaserCompanion() {
  if (LaserWnd != 0) return;
  const std::intptr_t result =
      platform_.shell.Execute("open", CompanionPath(), "-d", "", platform::kShowMaximized);
  // A start the shell refused leaves the companion unmarked, so that the next
  // request tries again.
  LaserWnd = result > kShellErrorLimit ? result : 0;
}

void TForm1::StopLaserCompanion() {
  if (LaserWnd == 0) return;
  LaserWnd = platform_.windows.FindTopWindow(kCompanionClass, kCompanionTitle);
  // With no window found there is nothing to ask; a message without a window
  // would land in the host's own queue.
  if (LaserWnd != 0) {
    platform_.windows.PostWindowMessage(LaserWnd, platform::kWindowMessageClose, 0, 0);
  }
  LaserWnd = 0;
}

}  // namespace shell
