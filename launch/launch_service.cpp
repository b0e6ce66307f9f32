#include "launch/launch_service.h"

#include "launch/app_tables.h"
#include "protocol/command_groups.h"
#include "protocol/wire_format.h"

namespace launch {
namespace {

using service::Activity;

const char* UtilityName(std::uint8_t selector) {
  const Utility* utility = FindUtility(selector);
  return utility != nullptr ? utility->name : "";
}

const char* PageAppName(std::uint8_t page) {
  const PageApp* app = FindPageApp(page);
  return app != nullptr ? app->name : "";
}

}  // namespace

TLaunchService::TLaunchService(TLaunchPlatform platform, service::IHostEvents& events,
                               const std::string& exe_directory)
    : Store(platform.profile),
      Closer(platform.processes, platform.windows),
      Locator(platform.shell, exe_directory),
      Pages({platform.registry, platform.system, platform.shell}, Store, Closer, Locator),
      Utilities(platform.system, platform.shell, Store, Closer, Locator),
      events_(events) {}

void TLaunchService::RegisterCommands(protocol::TCommandDispatcher& commands) {
  commands.Register(protocol::wire::kGroupUtility, protocol::UtilityCommands(*this));
}

void TLaunchService::LaunchUtility(std::uint8_t selector) {
  NoteLaunch(Utilities.LaunchUtility(selector), UtilityName(selector));
}

void TLaunchService::CloseUtility(std::uint8_t selector) {
  if (Utilities.CloseUtility(selector)) {
    events_.CommandDid(Activity::ClosedProgram, UtilityName(selector));
  }
}

void TLaunchService::LaunchPageApp(std::uint8_t page) {
  NoteLaunch(Pages.LaunchPageApp(page), PageAppName(page));
}

void TLaunchService::ClosePageApp(std::uint8_t page) {
  if (Pages.ClosePageApp(page)) events_.CommandDid(Activity::ClosedProgram, PageAppName(page));
}

void TLaunchService::NoteLaunch(LaunchOutcome outcome, const char* name) {
  switch (outcome) {
    case LaunchOutcome::Skipped: break;
    case LaunchOutcome::Started: events_.CommandDid(Activity::Launched, name); break;
    case LaunchOutcome::Locating: events_.CommandDid(Activity::Locating, name); break;
    case LaunchOutcome::Failed: events_.CommandDid(Activity::LaunchFailed, name); break;
  }
}

}  // namespace launch
