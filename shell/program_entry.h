#pragma once
// The program's entry: one copy per logon, the main form, the message loop,
// and the error box for whatever start-up raises.
#include <functional>
#include <memory>
#include <string>

#include "protocol/early_probe_answerer.h"
#include "platform/application.h"
#include "platform/processes.h"

namespace shell {

inline constexpr const char* kInstanceMutexName = "ZANTRIX_MIROVANTA2";

// Returns the program's exit code: 0 for a run of the host; for "/exit", the
// ExitRequestResult. `create_main_form` constructs the main form (which starts
// its components); the form lives until the loop ends. `early`, when given,
// answers the remote's search from the moment the lock is held until the form
// takes its socket over; it is stopped before a start-up error is shown.
// `instance_name` is the single-instance lock's, in the session's own namespace.
int ProgramEntry(platform::IProcesses& processes, platform::IWindows& windows,
                 platform::TApplication& application, const std::string& arguments,
                 const std::function<std::shared_ptr<void>()>& create_main_form,
                 protocol::TEarlyProbeAnswerer* early = nullptr,
                 const std::string& instance_name = kInstanceMutexName);

}  // namespace shell
