#pragma once
// Starting and closing programs as one capability: the path store, the
// locator, the media pages' programs and the maker's utilities. It carries
// out the utilities' commands; the media pages start and close their programs
// through it. Each start or close is told as what the command did.
#include <cstdint>
#include <string>

#include "launch/locator.h"
#include "launch/page_launcher.h"
#include "launch/path_store.h"
#include "launch/program_closer.h"
#include "launch/utility_launcher.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "service/capability.h"
#include "service/host_events.h"

namespace launch {

struct TLaunchPlatform {
  platform::IShell& shell;
  platform::IProcesses& processes;
  platform::IWindows& windows;
  platform::IRegistry& registry;
  platform::IProfile& profile;
  platform::ISystem& system;
};

class TLaunchService final : public service::ICapability, public service::ICommandOwner {
 public:
  // `exe_directory`: the host's own folder, where "Open.exe" is.
  TLaunchService(TLaunchPlatform platform, service::IHostEvents& events,
                 const std::string& exe_directory);

  // Its part of the start-up: the store's file, the system's kind, the
  // Program Files folder, and no player version seen yet.
  void Start();
  void RegisterCommands(service::TCommandRouter& commands) override;
  // Starting and closing send no input: they go on behind the lock screen.
  bool SendsInput(const service::Ask&) const override { return false; }
  void CarryOut(const service::RemoteCommand& command) override;
  // The utilities' actions.
  void LaunchUtility(std::uint8_t selector);
  void CloseUtility(std::uint8_t selector);
  // A media page's program (1..8).
  void LaunchPageApp(std::uint8_t page);
  void ClosePageApp(std::uint8_t page);

  TPathStore Store;
  TProgramCloser Closer;
  TLocator Locator;
  TPageLauncher Pages;
  TUtilityLauncher Utilities;

 private:
  void NoteLaunch(LaunchOutcome outcome, const char* name);

  TLaunchPlatform platform_;
  service::IHostEvents& events_;
};

}  // namespace launch
