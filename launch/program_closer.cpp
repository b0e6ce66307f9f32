#include "launch/program_closer.h"

#include "launch/app_tables.h"
#include "launch/path_text.h"

namespace launch {
namespace {

constexpr int kCloseTimeoutMs = 5000;
constexpr std::size_t kTitleBuffer = 4;  // the first three characters of the title

}  // namespace

TProgramCloser::TProgramCloser(platform::IProcesses& processes, platform::IWindows& windows)
    : processes_(processes), windows_(windows) {}

bool TProgramCloser::CloseProcessByName(const std::string& name) {
  const std::string wanted = UpperAZ(name);
  // Some players keep state that a kill would lose: their windows are asked to close.
  const PageApp* by_windows = WindowClosedApp(name);
  auto processes = processes_.Snapshot();
  if (!processes) return false;
  bool handled = false;
  for (const platform::ProcessEntry& process : *processes) {
    const bool matches =
        wanted == UpperAZ(FileNamePart(process.exe_file)) || wanted == UpperAZ(process.exe_file);
    if (!matches) continue;
    if (by_windows != nullptr) {
      windows_.EnumTopWindows([&](platform::WindowHandle window) {
        return EnumCloseProc(window, process.id, by_windows->close_window_title);
      });
      handled = true;
    } else {
      handled = processes_.Terminate(process.id, 0);
    }
  }
  return handled;
}

bool TProgramCloser::EnumCloseProc(platform::WindowHandle window, std::uint32_t process_id,
                                   const std::string& title_prefix) {
  if (windows_.WindowProcessId(window) != process_id) return true;
  const std::string title = LowerAZ(windows_.WindowText(window, kTitleBuffer));
  // A window that hangs must not hang the host: the close gives up after 5 s.
  if (title.find(LowerAZ(title_prefix)) != std::string::npos) {
    windows_.SendCloseWithTimeout(window, kCloseTimeoutMs);
  }
  return true;
}

}  // namespace launch
