#pragma once
// Closing programs by executable name.
#include <cstdint>
#include <string>

#include "platform/processes.h"

namespace launch {

class TProgramCloser {
 public:
  TProgramCloser(platform::IProcesses& processes, platform::IWindows& windows);

  // Ends every process of that executable name (letters a to z in any case),
  // or, for a window-closed program of the table, asks its windows to close.
  // True when some process was handled.
  bool CloseProcessByName(const std::string& name);
  bool EnumCloseProc(platform::WindowHandle window, std::uint32_t process_id,
                     const std::string& title_prefix);

 private:
  platform::IProcesses& processes_;
  platform::IWindows& windows_;
};

}  // namespace launch
