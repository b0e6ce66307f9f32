// The maker's four utilities: found in the store or under Program Files,
// started elevated where the system has user account control.
#include "launch/app_tables.h"
#include "launch/path_text.h"
#include "shell/form1.h"

namespace shell {

void TForm1::LaunchUtility(std::uint8_t selector) {
  const launch::Utility* utility = launch::FindUtility(selector);
  if (utility == nullptr) return;
  TStoreScope store(*this);
  std::string path = ReadStoredPath(utility->section);
  if (path.empty()) {
    for (const char* candidate : utility->candidates) {
      if (candidate != nullptr && platform_.system.FileExists(ProgFilesDir + candidate)) {
        path = ProgFilesDir + candidate;
        break;
      }
    }
    if (path.empty()) {
      RunOpenExe(utility->open_parameter);
      return;
    }
  }
  if (!platform_.system.FileExists(path)) return;
  // Not restored afterwards: later starts of either group inherit this folder.
  platform_.system.ChangeDirectory(launch::FolderPart(path));
  platform_.shell.Execute(IsNT6 ? "runas" : "open", path, "", "", platform::kShowNormal);
  WriteStoredPath(utility->section, path);
}

void TForm1::CloseUtility(std::uint8_t selector) {
  if (const launch::Utility* utility = launch::FindUtility(selector)) {
    CloseProcessByName(utility->close_name);
  }
}

}  // namespace shell
