#pragma once
// "Connection help…" as one capability: one window that says why a device is
// served or not, from the adapters, the networks' profiles, the firewall, the
// ports and the devices heard lately, refreshed while it is open.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "activity/recent_devices.h"
#include "help/connection_report.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/network_status.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"
#include "service/capability.h"

namespace help {

struct THelpPlatform {
  platform::ISockets& sockets;
  platform::INetworkStatus& network_status;
  platform::ISystem& system;
  platform::IDialogs& dialogs;
  platform::ITimers& timers;
  platform::IClipboard& clipboard;
  platform::IShell& shell;
};

class THelpService final : public service::ICapability {
 public:
  // The host's own facts as they are now: its name, path and ports' state.
  using ReadHost = std::function<HostFacts()>;
  // The devices' lines and the adapters are looked at this often while the
  // view is open; the firewall and the networks only when the adapters change.
  static constexpr unsigned kRefreshMs = 2000;

  THelpService(THelpPlatform platform, const activity::TRecentDevices& recent, ReadHost read_host);
  ~THelpService() override;
  THelpService(const THelpService&) = delete;
  THelpService& operator=(const THelpService&) = delete;

  service::TMenuItem Help1{"Connection help\xE2\x80\xA6"};
  std::vector<service::TMenuItem*> MenuRows() override { return {&Help1}; }
  void Help1Click();
  // Closes the view and stops its refresh: neither may call in once the host goes.
  void Stop();

 private:
  std::string HelpText();
  void HelpTick();
  void HelpButton(std::size_t button);
  void Copy();
  void OpenNetworkSettings();

  THelpPlatform platform_;
  const activity::TRecentDevices& recent_;
  ReadHost read_host_;
  int timer_ = 0;
  std::string text_;                               // what the view shows
  std::vector<platform::Ipv4Interface> adapters_;  // the adapters it was read for
  NetworkFacts facts_;
};

}  // namespace help
