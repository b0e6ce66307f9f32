#pragma once
// "Run with windows start" as one capability: a shortcut to the host in a
// Startup folder, the all-users one when it can be written there, else the
// user's. The mark shows whether either shortcut is there.
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "service/capability.h"

namespace autostart {

struct TAutostartPlatform {
  platform::ISystem& system;
  platform::IRegistry& registry;
  platform::IShellLinks& links;
};

class TAutostartService final : public service::ICapability {
 public:
  // `exe_name`: the host's own program, which the shortcut starts.
  TAutostartService(TAutostartPlatform platform, std::string exe_name);

  service::TMenuItem StartRun1{"Run with windows start", true, true};
  std::vector<service::TMenuItem*> MenuRows() override { return {&StartRun1}; }
  void StartRun1Click();

  // Its part of the start-up: the Startup folders, and the mark from the
  // shortcuts there now.
  void Start();

  std::string CommonStartupLink;
  std::string UserStartupLink;
  std::string LinkDescription;

 private:
  void ReadFolders();

  TAutostartPlatform platform_;
  std::string exe_name_;
};

}  // namespace autostart
