#pragma once
// What the person at the PC sees of the remote's use, kept by following the
// host's events: the activity log's lines, the in-use icon and its tip, the
// devices' names, the last devices heard from. Its menu row opens the log.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "activity/activity_log.h"
#include "activity/device_activity.h"
#include "activity/name_book.h"
#include "activity/recent_devices.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"
#include "service/capability.h"
#include "service/host_events.h"

namespace activity {

struct TActivityPlatform {
  platform::IFiles& files;
  platform::ISystem& system;
  platform::ITimers& timers;
  platform::IShell& shell;
  platform::ISockets& sockets;  // the reverse lookups of the devices' names
};

class TActivityService final : public service::IHostEvents, public service::ICapability {
 public:
  // The neighbour table's hardware address of a device ("" for none).
  using HardwareOf = std::function<std::string(std::uint32_t address)>;
  // Puts the icon's variant and tip on the tray icon.
  using ShowLook = std::function<void(platform::TrayIconState state, const std::string& tip)>;
  // How soon the in-use icon turns back after its minute: a few seconds late
  // is fine, and the main thread wakes rarely.
  static constexpr unsigned kLookEveryMs = 5000;

  TActivityService(TActivityPlatform platform, HardwareOf hardware_of, ShowLook show_look);
  ~TActivityService() override;
  TActivityService(const TActivityService&) = delete;
  TActivityService& operator=(const TActivityService&) = delete;

  service::TMenuItem OpenLog1{"Open activity log"};
  void OpenLog1Click();
  std::vector<service::TMenuItem*> MenuRows() override { return {&OpenLog1}; }

  // "192.168.1.23 (3c-22-fb-01-02-03, pixel-7.lan)", with what is known.
  std::string DeviceWords(std::uint32_t address);
  // Stops the icon's timer: nothing may call in once the host goes.
  void Stop();

  TActivityLog Log;
  TDeviceActivity InUse;
  TNameBook Names;
  TRecentDevices Recent;

  void Happened(const service::Device& device, Activity what, const std::string& detail) override;
  void HappenedOnListener(const service::Device& device, Activity what) override;
  void Refused(const service::Device& device, Refusal why) override;
  void DeviceHeard(const service::Device& device, Heard what) override;
  void CommandStarting(const service::Device& device) override;
  void CommandDid(Activity what, const std::string& detail) override;
  void DeviceConnected(const service::Origin& who) override;
  void DeviceDisconnected(const service::Origin& who) override;
  void PauseChanged(bool paused) override;
  void ServingChanged(service::Serving serving) override;
  void BrowsersOnlyChanged(bool only) override;

 private:
  // The icon and tip as the pause switch and the devices in use say.
  void RefreshTrayLook();

  TActivityPlatform platform_;
  HardwareOf hardware_of_;
  ShowLook show_look_;
  bool paused_ = false;
  bool browsers_only_ = false;
  service::Serving serving_ = service::Serving::Here;
  std::uint32_t command_from_ = 0;  // the sender of the command being carried out
  int look_timer_ = 0;              // turns the in-use icon back a minute after the last command
};

}  // namespace activity
