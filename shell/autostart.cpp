// "Run with windows start": a shortcut to the host in a Startup folder, the
// all-users one when it can be written there, else the user's.
#include "shell/form1.h"

namespace shell {

void TForm1::StartRun1Click() {
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
          platform_.links.Begin(application_.ExeName(), LinkDescription)) {
    const bool can_save = link->SaveAs(CommonStartupLink);
    if (can_save && !files.FileExists(CommonStartupLink)) link->SaveAs(UserStartupLink);
  }
  // Whether it worked shows only in the files, never in the calls' results.
  if (!files.FileExists(CommonStartupLink) && !files.FileExists(UserStartupLink)) {
    StartRun1.Checked = false;
  }
}

}  // namespace shell
