#include "launch/utility_launcher.h"

#include "launch/app_tables.h"
#include "launch/path_text.h"

namespace launch {

TUtilityLauncher::TUtilityLauncher(platform::ISystem& system, platform::IShell& shell,
                                   TPathStore& store, TProgramCloser& closer, TLocator& locator)
    : system_(system),
      shell_(shell),
      store_(store),
      closer_(closer),
      locator_(locator),
      repeats_([&system] { return system.TickCountMs(); }) {}

std::string TUtilityLauncher::FindUnderProgramFiles(const std::array<const char*, 2>& candidates) {
  for (const char* candidate : candidates) {
    if (candidate != nullptr && system_.FileExists(ProgFilesDir + candidate)) {
      return ProgFilesDir + candidate;
    }
  }
  return "";
}

LaunchOutcome TUtilityLauncher::LaunchUtility(std::uint8_t selector) {
  const Utility* utility = FindUtility(selector);
  if (utility == nullptr || !repeats_.Admit(RepeatKind::LaunchUtility, selector)) {
    return LaunchOutcome::Skipped;
  }
  TStoreScope store(store_);
  std::string path = store_.ReadStoredPath(utility->section);
  if (path.empty()) {
    path = FindUnderProgramFiles(utility->candidates);
    if (path.empty()) return locator_.RunOpenExe(utility->open_parameter);
  }
  if (!system_.FileExists(path)) return LaunchOutcome::Failed;
  // Not restored afterwards: later starts of either group inherit this folder.
  system_.ChangeDirectory(FolderPart(path));
  const bool started =
      Started(shell_.Execute(IsNT6 ? "runas" : "open", path, "", "", platform::ShowAs::Normal));
  store_.WriteStoredPath(utility->section, path);
  return started ? LaunchOutcome::Started : LaunchOutcome::Failed;
}

bool TUtilityLauncher::CloseUtility(std::uint8_t selector) {
  const Utility* utility = FindUtility(selector);
  if (utility == nullptr || !repeats_.Admit(RepeatKind::CloseUtility, selector)) return false;
  return closer_.CloseProcessByName(utility->close_name);
}

}  // namespace launch
