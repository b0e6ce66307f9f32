// "Open.exe": asks the user where a program the host could not find is, and
// tells the host through its path store.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "companions/open/locate_request.h"
#include "launch/registry_reader.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

namespace {

constexpr char kCaption[] = "Mirovanta 2";

std::string ProgramFilesFolder(platform::IRegistry& registry) {
  launch::TRegistry reader(registry);
  reader.RootKey = platform::RootKey::LocalMachine;
  reader.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  for (const char* name : {"ProgramFilesDir (x86)", "ProgramFilesDir"}) {
    if (reader.ValueExists(name)) return reader.ReadString(name);
  }
  return "";
}

// The chosen file's full path, or nothing on Cancel.
std::string AskForProgram(const companions::LocateRequest& request, const std::string& folder) {
  char file[MAX_PATH] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = "Programs (*.exe)\0*.exe\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = request.title.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameA(&dialog)) return "";
  return file;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string parameter = __argc > 1 ? __argv[1] : "";
  std::optional<companions::LocateRequest> request = companions::ParseLocateParameter(parameter);
  if (!request || __argc != 2) {
    MessageBoxA(nullptr, companions::UsageText().c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
    return 2;
  }
  platform::win32::Win32Registry registry;
  platform::win32::Win32System system;
  platform::win32::Win32Profile profile;
  const std::string path = AskForProgram(*request, ProgramFilesFolder(registry));
  if (path.empty()) return 1;
  std::string error;
  if (!companions::StoreLocatedPath(profile, companions::StoreFileIn(system.TempPath(MAX_PATH)),
                                    *request, path, error)) {
    MessageBoxA(nullptr, error.c_str(), kCaption, MB_OK | MB_ICONERROR);
    return 1;
  }
  return 0;
}
