#include "shell/program_entry.h"

#include "platform/framework_error.h"
#include "platform/owners.h"
#include "shell/exit_request.h"

namespace shell {

int ProgramEntry(platform::IProcesses& processes, platform::IWindows& windows,
                 platform::TApplication& application, const std::string& arguments,
                 const std::function<std::shared_ptr<void>()>& create_main_form,
                 protocol::TEarlyProbeAnswerer* early, const std::string& instance_name) {
  if (IsExitRequest(arguments)) {
    return static_cast<int>(AskRunningCopyToExit(windows, processes));
  }
  platform::TNamedMutex lock(processes, instance_name, true);
  // Another copy runs in this logon: leave it alone and end without a word.
  if (lock.AlreadyExists()) return 0;
  lock.KeepUntilExit();
  if (early) early->Start();
  std::shared_ptr<void> main_form;
  try {
    application.Initialize();
    main_form = create_main_form();
    application.Run();
  } catch (const platform::EFrameworkError& error) {
    if (early) early->Stop();
    application.ShowException(error.what());
  } catch (...) {
    if (early) early->Stop();
    application.ShowException("");
  }
  main_form.reset();
  return 0;
}

}  // namespace shell
