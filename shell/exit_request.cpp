#include "shell/exit_request.h"

#include <algorithm>
#include <cctype>

#include "platform/application.h"

namespace shell {

bool IsExitRequest(const std::string& arguments) {
  std::string word = arguments;
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  word.erase(word.begin(), std::find_if_not(word.begin(), word.end(), blank));
  word.erase(std::find_if_not(word.rbegin(), word.rend(), blank).base(), word.end());
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return word == "/exit" || word == "-exit" || word == "--exit";
}

ExitRequestResult AskRunningCopyToExit(platform::IWindows& windows, platform::IProcesses& processes,
                                       int wait_ms) {
  const platform::WindowHandle window =
      windows.FindTopWindow(platform::kApplicationWindowClass, platform::kApplicationTitle);
  if (window == 0) return ExitRequestResult::NoneRunning;
  // The process is looked up before the request: once it ends, the window's
  // handle no longer names it.
  const std::uint32_t process = windows.WindowProcessId(window);
  if (!windows.PostClose(window)) {
    // The window went away between the look-up and the post: it was ending.
    return ExitRequestResult::NoneRunning;
  }
  // A copy whose process cannot be named cannot be waited for: it is not known to have ended.
  if (process == 0) return ExitRequestResult::StillRunning;
  return processes.WaitForExit(process, wait_ms) ? ExitRequestResult::Ended
                                                 : ExitRequestResult::StillRunning;
}

}  // namespace shell
