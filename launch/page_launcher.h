#pragma once
// Launching and closing the media pages' own applications.
#include <cstdint>
#include <memory>
#include <string>

#include "launch/launch_outcome.h"
#include "launch/locator.h"
#include "launch/path_store.h"
#include "launch/program_closer.h"
#include "settings/registry_reader.h"
#include "launch/repeat_guard.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace launch {

using settings::TRegistry;

struct TPageLauncherServices {
  platform::IRegistry& registry;
  platform::ISystem& system;
  platform::IShell& shell;
};

class TPageLauncher {
 public:
  TPageLauncher(TPageLauncherServices services, TPathStore& store, TProgramCloser& closer,
                TLocator& locator);

  LaunchOutcome LaunchPageApp(std::uint8_t page);
  // True when a program was there to be closed.
  bool ClosePageApp(std::uint8_t page);

  // The registry value that names an application's executable, expanded.
  std::string DiscoverAppPath(const std::string& key, const std::string& value_name,
                              bool remove_quotes);
  // "major.minor.build.revision", or "" for a file without a version.
  std::string FileVersionText(const std::string& path);

  // The registry accessor, only while a discovery runs.
  std::unique_ptr<TRegistry> Registry;
  // Set once a started player's version says 9 or 10; never cleared.
  bool IsWmp9or10 = false;

 private:
  TPageLauncherServices services_;
  TPathStore& store_;
  TProgramCloser& closer_;
  TLocator& locator_;
  TRepeatGuard repeats_;
};

}  // namespace launch
