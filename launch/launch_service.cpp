#include "launch/launch_service.h"

#include "launch/app_tables.h"
#include "launch/store_layout.h"
#include "settings/program_files.h"
#include "settings/registry_reader.h"

namespace launch {
namespace {

using service::Activity;

constexpr std::size_t kPathBuffer = 260;

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
      platform_(platform),
      events_(events) {}

void TLaunchService::Start() {
  const platform::OsVersion os = platform_.system.Version();
  // Every system with user account control: NT 6.x and 10.0 alike.
  Utilities.IsNT6 = os.nt && os.major >= 6 ? 1 : 0;
  Store.IniFilePath = platform_.system.TempPath(kPathBuffer) + kStoreFileName;
  settings::TRegistry registry(platform_.registry);
  registry.RootKey = platform::RootKey::LocalMachine;
  if (auto folder = settings::ReadProgramFilesDir(registry)) Utilities.ProgFilesDir = *folder;
  Pages.IsWmp9or10 = false;
}

void TLaunchService::RegisterCommands(service::TCommandRouter& commands) {
  commands.Register<service::UtilityAction>(*this);
}

void TLaunchService::CarryOut(const service::RemoteCommand& command) {
  if (const auto* action = std::get_if<service::UtilityAction>(&command.ask)) {
    action->launch ? LaunchUtility(action->selector) : CloseUtility(action->selector);
  }
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
