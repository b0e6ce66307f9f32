// The constructor's steps after the components: system, records, paths,
// names, menu captions and the autostart mark.
#include "launch/store_layout.h"
#include "settings/program_files.h"
#include "shell/form1.h"

namespace shell {
namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kComputerNameBuffer = 16;
constexpr const char* kLinkFileName = "\\Mirovanta 2.lnk";
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace

void TForm1::ReadSystemSettings() {
  const platform::OsVersion os = platform_.system.Version();
  if (!os.nt) {
    application_.Terminate();
    Launch.Utilities.IsNT6 = 0;
  } else {
    // Every system with user account control: NT 6.x and 10.0 alike.
    Launch.Utilities.IsNT6 = os.major >= 6 ? 1 : 0;
  }
  Input.Keyboard.InitInputRecords();
  Input.TextAndPointer.CursorPos = {0, 0};
  Media.Laser.LaserWnd = 0;
  Launch.Store.IniFilePath = platform_.system.TempPath(kPathBuffer) + launch::kStoreFileName;
  ReadFolders();
  ComputerName = platform_.system.ComputerName(kComputerNameBuffer);
  Label1.Caption = ComputerName + Label1.Caption;
  ReadAddresses();
  CommonStartupLink += kLinkFileName;
  UserStartupLink += kLinkFileName;
  LinkDescription = "Mirovanta 2";
  if (!platform_.system.FileExists(CommonStartupLink) &&
      !platform_.system.FileExists(UserStartupLink)) {
    StartRun1.Checked = false;
  }
  Launch.Pages.IsWmp9or10 = false;
}

void TForm1::ReadFolders() {
  Registry = std::make_unique<settings::TRegistry>(platform_.registry);
  Registry->RootKey = platform::RootKey::LocalMachine;
  if (auto folder = settings::ReadProgramFilesDir(*Registry)) {
    Launch.Utilities.ProgFilesDir = *folder;
  }
  Registry->OpenKeyReadOnly(kShellFolders);
  CommonStartupLink = Registry->ReadString("Common Startup");
  Registry->CloseKey();
  Registry->RootKey = platform::RootKey::CurrentUser;
  Registry->OpenKeyReadOnly(kShellFolders);
  UserStartupLink = Registry->ReadString("Startup");
  Registry.reset();
}

}  // namespace shell
