#pragma once
// Who may drive this PC, as one capability: the listener's first look at each
// datagram, the one gate before every command of either remote (the pause,
// the lock screen, approval), the question about a new device, the allowed
// devices, and the rows "Ask before a new device takes control", "Only
// paired browsers may control this PC", "Devices" and "Pause remote control"
// with its hot key.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "access/allow_list.h"
#include "access/device_approval.h"
#include "access/nearby_rule.h"
#include "access/neighbour_book.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/owners.h"
#include "platform/registry.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"
#include "protocol/udp_server.h"
#include "service/capability.h"
#include "service/command_router.h"
#include "service/host_events.h"
#include "service/remote_command.h"

namespace activity {
class TActivityService;
}

namespace access_policy {

struct TAccessPlatform {
  platform::ISockets& sockets;
  platform::IRegistry& registry;
  platform::ISystem& system;
  platform::IDialogs& dialogs;
  platform::ITimers& timers;
  platform::IHotkeys& hotkeys;
};

inline constexpr const char* kPauseCaption = "Pause remote control\tCtrl+Alt+Shift+P";
inline constexpr const char* kPauseHotkeyTaken =
    "Pause remote control (Ctrl+Alt+Shift+P is taken by another program)";

class TAccessService final : public service::IHostEvents, public service::ICapability {
 public:
  // `activity` names the devices in the question and the Devices menu and
  // lists those in use; `commands` carries out what the gate lets through.
  TAccessService(TAccessPlatform platform, service::IHostEvents& events,
                 activity::TActivityService& activity, service::ICommandSink& commands);
  ~TAccessService() override;
  TAccessService(const TAccessService&) = delete;
  TAccessService& operator=(const TAccessService&) = delete;

  service::TMenuItem AskFirst1{"Ask before a new device takes control"};
  service::TMenuItem BrowsersOnly1{"Only paired browsers may control this PC"};
  service::TMenuItem StopAsking1{"Stop asking for 10 minutes"};
  service::TMenuItem Devices1{"Devices"};
  service::TMenuItem Pause1{kPauseCaption};
  std::vector<service::TMenuItem*> MenuRows() override {
    return {&AskFirst1, &StopAsking1, &Devices1, &Pause1, &BrowsersOnly1};
  }
  // The marks from the switches, the Devices submenu from the devices now.
  void BeforeMenu() override;
  void AskFirst1Click();
  void BrowsersOnly1Click();
  // While on, the app's wire is closed: its datagrams are dropped before the
  // hand-over, its search is not answered and its presence port refuses.
  void SetBrowsersOnly(bool only);
  bool BrowsersOnly() const { return browsers_only_; }
  // Checked while it holds; a click then asks again at once.
  void StopAsking1Click();
  void Pause1Click();
  void ForgetDeviceClick(const std::string& device, const std::string& caption);
  // Ctrl+Alt+Shift+P, from whichever window has the keyboard.
  void PauseHotkeyPressed();
  void SetPaused(bool paused);

  // Its part of the start-up: the allow-list and the switches, the hot key.
  void Load();
  // Follows the system's reports of address changes, once the log can say
  // that it cannot.
  void WatchAddresses();
  // Closes the question and stops the timers and the watch: nothing may call
  // in once the host goes.
  void Stop();

  // The listener thread's first look at each datagram; true hands it over.
  bool ListenerRead(protocol::TIdUDPServer& listener, protocol::TIdSocketHandle& binding,
                    const std::uint8_t* data, std::size_t size);
  // A datagram from a nearby device, on the main thread: its command through the gate.
  void CommandArrived(protocol::TStream& data, const protocol::TIdSocketHandle& binding);
  // The gate, for either remote, on the main thread. Nothing goes through
  // while paused, and no input while this PC is locked. An app's device must
  // be allowed (a new one is asked about); a paired browser was approved by
  // its pairing. What passes is told as starting and carried out.
  void CommandArrived(const service::RemoteCommand& command);
  // Rows another capability adds under "Devices" (the paired browsers).
  std::function<std::vector<service::TMenuItem>()> MoreDevices;
  // Whether a presence connection from `peer` may stay: a refused device
  // gets no name and causes no balloon, as a far one.
  bool MayConnect(std::uint32_t peer);
  std::string HardwareAddress(std::uint32_t address) { return Neighbours.HardwareAddress(address); }
  // A new device that connects is asked about now, before its first command;
  // a browser that connects was paired already.
  void DeviceConnected(const service::Origin& who) override;
  // After sleep the adapters are read again at once: a network joined
  // meanwhile is served without waiting for the system's report.
  void WokeFromSleep() override;
  void LockChanged(bool locked) override { Locked = locked; }

  bool Paused = false;       // "Pause remote control": not remembered
  bool PauseHotkey = false;  // Ctrl+Alt+Shift+P is ours
  bool Locked = false;       // this session's lock screen is up: no input goes out
  TNearbyRule Nearby;
  TAllowList AllowList;
  TNeighbourBook Neighbours;
  TDeviceApproval Approval;

 private:
  // Tells that a command was dropped for `why`, as the device's line and the log say it.
  void Dropped(const service::Device& device, service::Refusal why, service::Heard heard);
  // Whether a command from this address is carried out; asks the user about a new device.
  bool MayCarryOut(std::uint32_t address);
  // The user's decision about the device on screen, and the next question.
  void Answered(platform::PromptAnswer answer);
  void AskAboutDevice(std::uint32_t address);
  platform::PromptText Question(const AskedDevice& asked);
  std::string NameLine(std::uint32_t address);
  void WatchForName(std::uint32_t address);
  // A waiting device is asked about once its question is due.
  void AskNextWhenDue();
  void CloseQuestion();
  void RefreshDevicesMenu();
  // The marks of the switches, as they are now.
  void DrawMarks();

  TAccessPlatform platform_;
  service::IHostEvents& events_;
  activity::TActivityService& activity_;
  service::ICommandSink& commands_;
  std::atomic<bool> browsers_only_{false};  // read on the listener thread too
  int question_ = 0;                        // the question on screen, 0 for none
  std::uint32_t question_about_ = 0;
  int name_timer_ = 0;  // watches for the name of the device asked about
  int next_timer_ = 0;  // asks the next waiting device once that is due
  platform::TAddressWatch address_watch_;
};

}  // namespace access_policy
