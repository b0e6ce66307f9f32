// Closing programs by executable name.
#include "launch/path_text.h"
#include "shell/form1.h"

namespace shell {
namespace {

constexpr int kCloseTimeoutMs = 5000;
constexpr std::size_t kTitleBuffer = 4;  // the first three characters of the title

}  // namespace

bool TForm1::CloseProcessByName(const std::string& name) {
  const std::string wanted = launch::UpperAZ(name);
  // PPStream keeps state that a kill would lose: its windows are asked to close.
  const bool by_windows = launch::LowerAZ(name).find("ppstream.exe") != std::string::npos;
  auto processes = platform_.processes.Snapshot();
  if (!processes) return false;
  bool handled = false;
  for (const platform::ProcessEntry& process : *processes) {
    const bool matches = wanted == launch::UpperAZ(launch::FileNamePart(process.exe_file)) ||
                         wanted == launch::UpperAZ(process.exe_file);
    if (!matches) continue;
    if (by_windows) {
      platform_.windows.EnumTopWindows(
          [&](platform::WindowHandle window) { return EnumCloseProc(window, process.id); });
      handled = true;
    } else {
      handled = platform_.processes.Terminate(process.id, 0);
    }
  }
  return handled;
}

bool TForm1::EnumCloseProc(platform::WindowHandle window, std::uint32_t process_id) {
  if (platform_.windows.WindowProcessId(window) != process_id) return true;
  const std::string title = launch::LowerAZ(platform_.windows.WindowText(window, kTitleBuffer));
  // A window that hangs must not hang the host: the close gives up after 5 s.
  if (title.find("pps") != std::string::npos) {
    platform_.windows.SendMessageWithTimeout(window, platform::kWindowMessageClose, kCloseTimeoutMs);
  }
  return true;
}

}  // namespace shell
