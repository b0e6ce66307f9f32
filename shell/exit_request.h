#pragma once
// "Mirovanta2.exe /exit": asks the copy running in this logon to end, as its
// tray menu's "Exit" does, and waits for it. The installer and uninstaller use
// it before they replace or remove the files; scripts may too.
#include <string>

#include "platform/processes.h"

namespace shell {

// What "/exit" ends with, as the process's exit code.
enum class ExitRequestResult : int {
  Ended = 0,         // a running copy was asked and has ended
  NoneRunning = 1,   // no copy runs in this logon
  StillRunning = 2,  // asked, but it had not ended when the wait ran out
};

inline constexpr int kExitWaitMs = 30000;

// True when the command line (the arguments after the program) is "/exit".
bool IsExitRequest(const std::string& arguments);

ExitRequestResult AskRunningCopyToExit(platform::IWindows& windows, platform::IProcesses& processes,
                                       int wait_ms = kExitWaitMs);

}  // namespace shell
