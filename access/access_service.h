#pragma once
// Who may drive this PC, as one capability: the listener's first look at each
// datagram, the gate before every command (pause, approval), the question
// about a new device, the allowed devices, and the rows "Ask before a new
// device takes control", "Devices" and "Pause remote control" with its hot key.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "access/allow_list.h"
#include "access/device_approval.h"
#include "access/nearby_rule.h"
#include "access/neighbour_book.h"
#include "activity/activity_service.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/owners.h"
#include "platform/registry.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"
#include "protocol/command_dispatch.h"
#include "protocol/udp_server.h"
#include "service/capability.h"
#include "service/host_events.h"

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
                 activity::TActivityService& activity, protocol::TCommandDispatcher& commands);
  ~TAccessService() override;
  TAccessService(const TAccessService&) = delete;
  TAccessService& operator=(const TAccessService&) = delete;

  service::TMenuItem AskFirst1{"Ask before a new device takes control"};
  service::TMenuItem StopAsking1{"Stop asking for 10 minutes"};
  service::TMenuItem Devices1{"Devices"};
  service::TMenuItem Pause1{kPauseCaption};
  std::vector<service::TMenuItem*> MenuRows() override {
    return {&AskFirst1, &StopAsking1, &Devices1, &Pause1};
  }
  // The marks from the switches, the Devices submenu from the devices now.
  void BeforeMenu() override;
  void AskFirst1Click();
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
  // A command from a nearby device, on the main thread: carried out when the
  // device may drive this PC, else dropped (and the user asked about it).
  void CommandArrived(protocol::TStream& data, const protocol::TIdSocketHandle& binding);
  // A paired browser's command, on the main thread: pairing was the user's
  // approval, so only the pause holds it back. True: carry it out now.
  // While this PC is locked, one that would send input is dropped.
  bool BrowserMayDrive(const service::Device& browser, bool sends_input);
  // Rows another capability adds under "Devices" (the paired browsers).
  std::function<std::vector<service::TMenuItem>()> MoreDevices;
  // Whether a presence connection from `peer` may stay: a refused device
  // gets no name and causes no balloon, as a far one.
  bool MayConnect(std::uint32_t peer);
  std::string HardwareAddress(std::uint32_t address) { return Neighbours.HardwareAddress(address); }
  // A new device that connects is asked about now, before its first command.
  void DeviceConnected(std::uint32_t address) override;
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
  protocol::TCommandDispatcher& commands_;
  int question_ = 0;  // the question on screen, 0 for none
  std::uint32_t question_about_ = 0;
  int name_timer_ = 0;  // watches for the name of the device asked about
  int next_timer_ = 0;  // asks the next waiting device once that is due
  platform::TAddressWatch address_watch_;
};

}  // namespace access_policy
