// "Open.exe": asks the user where a program the host could not find is, and
// tells the host through its path store.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "companions/open/locate_request.h"
#include "settings/program_files.h"
#include "settings/registry_reader.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

namespace {

constexpr char kCaption[] = "Mirovanta 2";
constexpr char kRunningMutex[] = "ZANTRIX_MIROVANTA2_OPEN";
constexpr char kDialogClass[] = "#32770";
constexpr char kTitlePrefix[] = "Locate ";

// The open dialog of the copy that runs already, if it shows one.
HWND RunningDialog() {
  for (HWND window = FindWindowA(kDialogClass, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, kDialogClass, nullptr)) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::strncmp(title, kTitlePrefix, sizeof kTitlePrefix - 1) == 0) return window;
  }
  return nullptr;
}

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window);
}

// The user has walked to the PC to answer: the dialog comes up in the middle
// of the primary monitor's work area and in front.
UINT_PTR CALLBACK PlaceDialog(HWND hook, UINT message, WPARAM, LPARAM l) {
  if (message != WM_NOTIFY || reinterpret_cast<const NMHDR*>(l)->code != CDN_INITDONE) return 0;
  HWND dialog = GetParent(hook);
  RECT area{};
  RECT frame{};
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0) && GetWindowRect(dialog, &frame)) {
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    SetWindowPos(dialog, HWND_TOP, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE);
  }
  BringToFront(dialog);
  return 0;
}

std::string ProgramFilesFolder(platform::IRegistry& registry) {
  settings::TRegistry reader(registry);
  reader.RootKey = platform::RootKey::LocalMachine;
  return settings::ReadProgramFilesDir(reader).value_or("");
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
  dialog.Flags =
      OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLEHOOK;
  dialog.lpfnHook = PlaceDialog;
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
  // One question at a time: a loop of launch commands must not open a dialog
  // each. A second copy shows the first one's dialog and leaves.
  platform::win32::UniqueHandle running(CreateMutexA(nullptr, TRUE, kRunningMutex));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    if (HWND first = RunningDialog()) BringToFront(first);
    return 0;
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
