#include "launch/page_launcher.h"

#include <cstdio>

#include "launch/app_tables.h"
#include "launch/path_text.h"

namespace launch {
namespace {

constexpr std::size_t kExpansionBuffer = 260;

// The registry accessor lives for one look-up, however that look-up ends.
class RegistryScope {
 public:
  explicit RegistryScope(std::unique_ptr<TRegistry>& registry) : registry_(registry) {}
  ~RegistryScope() { registry_.reset(); }
  RegistryScope(const RegistryScope&) = delete;
  RegistryScope& operator=(const RegistryScope&) = delete;

 private:
  std::unique_ptr<TRegistry>& registry_;
};

bool SetsVersionFlag(const PageApp& app, const std::string& version) {
  for (const char* prefix : app.version_flag_prefixes) {
    if (prefix != nullptr && version.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

bool ReadsVersion(const PageApp& app) { return app.version_flag_prefixes[0] != nullptr; }

}  // namespace

TPageLauncher::TPageLauncher(TPageLauncherServices services, TPathStore& store,
                             TProgramCloser& closer, TLocator& locator)
    : services_(services),
      store_(store),
      closer_(closer),
      locator_(locator),
      repeats_([&system = services.system] { return system.TickCountMs(); }) {}

LaunchOutcome TPageLauncher::LaunchPageApp(std::uint8_t page) {
  const PageApp* app = FindPageApp(page);
  if (app == nullptr || app->registry_key == nullptr) return LaunchOutcome::Skipped;
  if (!repeats_.Admit(RepeatKind::LaunchPage, page)) return LaunchOutcome::Skipped;
  TStoreScope store(store_);
  std::string path = store_.ReadStoredPath(app->section);
  // A stored path is final, even when its file is gone.
  if (path.empty())
    path = DiscoverAppPath(app->registry_key, app->registry_value, app->remove_quotes);
  if (path.empty()) return locator_.RunOpenExe(app->open_parameter);
  if (!services_.system.FileExists(path)) return LaunchOutcome::Failed;
  const bool started =
      Started(services_.shell.Execute("open", path, "", "", platform::ShowAs::Normal));
  store_.WriteStoredPath(app->section, path);
  if (ReadsVersion(*app) && SetsVersionFlag(*app, FileVersionText(path))) IsWmp9or10 = true;
  return started ? LaunchOutcome::Started : LaunchOutcome::Failed;
}

bool TPageLauncher::ClosePageApp(std::uint8_t page) {
  const PageApp* app = FindPageApp(page);
  if (app == nullptr || !repeats_.Admit(RepeatKind::ClosePage, page)) return false;
  std::string stored;
  if (app->section != nullptr) {
    TStoreScope store(store_);
    stored = store_.ReadStoredPath(app->section);
  }
  return closer_.CloseProcessByName(stored.empty() ? app->close_name : FileNamePart(stored));
}

// The 32-bit view first, where the players (32-bit programs) register, then
// the native one.
std::string TPageLauncher::DiscoverAppPath(const std::string& key, const std::string& value_name,
                                           bool remove_quotes) {
  std::string text;
  bool found = false;
  for (platform::RegistryView view :
       {platform::RegistryView::Wow32, platform::RegistryView::Native}) {
    Registry = std::make_unique<TRegistry>(services_.registry, view);
    RegistryScope scope(Registry);
    Registry->RootKey = platform::RootKey::LocalMachine;
    Registry->OpenKeyReadOnly(key);
    if (Registry->ValueExists(value_name)) {
      text = Registry->ReadString(value_name);
      found = true;
    }
    Registry->CloseKey();
    if (found) break;
  }
  if (!found) return "";
  // "path,icon index" names the path; some values carry quotes as well.
  if (std::size_t comma = text.find(','); comma != std::string::npos) text.resize(comma);
  if (remove_quotes) std::erase(text, '"');
  std::string expanded = services_.system.ExpandEnvironment(text);
  // An expansion that does not fit the buffer names nothing.
  return expanded.size() < kExpansionBuffer ? expanded : "";
}

std::string TPageLauncher::FileVersionText(const std::string& path) {
  auto version = services_.system.FileVersion(path);
  if (!version) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (*version)[0], (*version)[1], (*version)[2],
                (*version)[3]);
  return text;
}

}  // namespace launch
