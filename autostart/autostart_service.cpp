#include "autostart/autostart_service.h"

#include <memory>

#include "settings/registry_reader.h"

namespace autostart {
namespace {

constexpr const char* kLinkFileName = "\\Mirovanta 2.lnk";
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace

TAutostartService::TAutostartService(TAutostartPlatform platform, std::string exe_name)
    : platform_(platform), exe_name_(std::move(exe_name)) {
  StartRun1.OnClick = [this] { StartRun1Click(); };
}

void TAutostartService::Start() {
  ReadFolders();
  CommonStartupLink += kLinkFileName;
  UserStartupLink += kLinkFileName;
  LinkDescription = "Mirovanta 2";
  if (!platform_.system.FileExists(CommonStartupLink) &&
      !platform_.system.FileExists(UserStartupLink)) {
    StartRun1.Checked = false;
  }
}

void TAutostartService::ReadFolders() {
  settings::TRegistry registry(platform_.registry);
  registry.RootKey = platform::RootKey::LocalMachine;
  registry.OpenKeyReadOnly(kShellFolders);
  CommonStartupLink = registry.ReadString("Common Startup");
  registry.CloseKey();
  registry.RootKey = platform::RootKey::CurrentUser;
  registry.OpenKeyReadOnly(kShellFolders);
  UserStartupLink = registry.ReadString("Startup");
}

void TAutostartService::StartRun1Click() {
  platform::ISystem& files = platform_.system;
  // The menu has flipped the mark already: off means the user wants it gone.
  if (!StartRun1.Checked) {
    if (files.FileExists(CommonStartupLink)) {
      files.RemoveFile(CommonStartupLink);
    } else if (files.FileExists(UserStartupLink)) {
      files.RemoveFile(UserStartupLink);
    }
    return;
  }
  if (std::unique_ptr<platform::ILinkSession> link =
          platform_.links.Begin(exe_name_, LinkDescription)) {
    const bool can_save = link->SaveAs(CommonStartupLink);
    if (can_save && !files.FileExists(CommonStartupLink)) link->SaveAs(UserStartupLink);
  }
  // Whether it worked shows only in the files, never in the calls' results.
  if (!files.FileExists(CommonStartupLink) && !files.FileExists(UserStartupLink)) {
    StartRun1.Checked = false;
  }
}

}  // namespace autostart
