#pragma once
// The platform services the host works through, handed to the form by the
// program entry (the real ones) or by a test (doubles).
#include <cstdint>

#include "platform/clipboard.h"
#include "platform/crypto.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/network_status.h"
#include "platform/processes.h"
#include "platform/protect.h"
#include "platform/registry.h"
#include "platform/sessions.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"

namespace shell {

struct TPlatform {
  platform::ISockets& sockets;
  platform::IInput& input;
  platform::IClipboard& clipboard;
  platform::IShell& shell;
  platform::IWindows& windows;
  platform::IProcesses& processes;
  platform::IRegistry& registry;
  platform::IProfile& profile;
  platform::ISystem& system;
  platform::INotificationArea& notification_area;
  platform::IStreamServer& stream_server;
  platform::IShellLinks& links;
  platform::IDialogs& dialogs;
  platform::IFiles& files;
  platform::ITimers& timers;
  platform::IHotkeys& hotkeys;
  platform::INetworkStatus& network_status;
  platform::ICrypto& crypto;
  platform::IProtect& protect;
  platform::ISessions& sessions;
  // Where the browser remote listens: its port, or 0 for any free one (tests).
  std::uint16_t browser_port = 1566;
};

}  // namespace shell
