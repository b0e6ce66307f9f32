// Launching and closing the media pages' own applications.
#include <cstdio>

#include "launch/app_tables.h"
#include "launch/path_text.h"
#include "shell/form1.h"

namespace shell {
namespace {

constexpr std::size_t kExpansionBuffer = 260;
constexpr std::uint8_t kPlayerPage = 8;

// The registry accessor lives for one look-up, however that look-up ends.
class RegistryScope {
 public:
  explicit RegistryScope(std::unique_ptr<launch::TRegistry>& registry) : registry_(registry) {}
  ~RegistryScope() { registry_.reset(); }
  RegistryScope(const RegistryScope&) = delete;
  RegistryScope& operator=(const RegistryScope&) = delete;

 private:
  std::unique_ptr<launch::TRegistry>& registry_;
};

bool IsVersion9or10(const std::string& version) {
  return version.rfind("9", 0) == 0 || version.rfind("10", 0) == 0;
}

}  // namespace

void TForm1::LaunchPageApp(std::uint8_t page) {
  const launch::PageApp* app = launch::FindPageApp(page);
  if (app == nullptr) return;
  TStoreScope store(*this);
  std::string path = ReadStoredPath(app->section);
  // A stored path is final, even when its file is gone.
  if (path.empty()) path = DiscoverAppPath(app->registry_key, app->registry_value, app->remove_quotes);
  if (path.empty()) {
    RunOpenExe(app->open_parameter);
    return;
  }
  if (!platform_.system.FileExists(path)) return;
  platform_.shell.Execute("open", path, "", "", platform::kShowNormal);
  WriteStoredPath(app->section, path);
  if (page == kPlayerPage && IsVersion9or10(FileVersionText(path))) IsWmp9or10 = true;
}

void TForm1::ClosePageApp(std::uint8_t page) {
  const launch::PageApp* app = launch::FindPageApp(page);
  if (app == nullptr) {
    if (page == 1) CloseProcessByName(launch::kMediaCenterCloseName);
    return;
  }
  std::string stored;
  {
    TStoreScope store(*this);
    stored = ReadStoredPath(app->section);
  }
  CloseProcessByName(stored.empty() ? app->close_name : launch::FileNamePart(stored));
}

// The registry value that names the application's executable: the 32-bit view
// first, where the players (32-bit programs) register, then the native one.
std::string TForm1::DiscoverAppPath(const std::string& key, const std::string& value_name,
                                    bool remove_quotes) {
  std::string text;
  bool found = false;
  for (platform::RegistryView view : {platform::RegistryView::Wow32, platform::RegistryView::Native}) {
    Registry = std::make_unique<launch::TRegistry>(platform_.registry, view);
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
  // "path,icon index" names the path; page 6's value carries quotes as well.
  if (std::size_t comma = text.find(','); comma != std::string::npos) text.resize(comma);
  if (remove_quotes) std::erase(text, '"');
  std::string expanded = platform_.system.ExpandEnvironment(text);
  // An expansion that does not fit the buffer names nothing.
  return expanded.size() < kExpansionBuffer ? expanded : "";
}

void TForm1::RunOpenExe(const std::string& parameter) {
  platform_.shell.Execute("open", ExeDirectory() + "Open.exe", parameter, "", platform::kShowNormal);
}

std::string TForm1::FileVersionText(const std::string& path) {
  auto version = platform_.system.FileVersion(path);
  if (!version) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (*version)[0], (*version)[1], (*version)[2],
                (*version)[3]);
  return text;
}

}  // namespace shell
