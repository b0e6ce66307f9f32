#include "launch/locator.h"

namespace launch {

TLocator::TLocator(platform::IShell& shell, std::string exe_directory)
    : shell_(shell), exe_directory_(std::move(exe_directory)) {}

LaunchOutcome TLocator::RunOpenExe(const std::string& parameter) {
  return Started(shell_.Execute("open", exe_directory_ + kLocatorFile, parameter, "",
                                platform::ShowAs::Normal))
             ? LaunchOutcome::Locating
             : LaunchOutcome::Failed;
}

}  // namespace launch
