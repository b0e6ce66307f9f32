#pragma once
// The hidden main form: the owner of every component and of all shared state;
// every event of the program ends in one of its handler methods.
#include <array>
#include <map>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "input/input_sender.h"
#include "input/input_target.h"
#include "launch/locator.h"
#include "launch/page_launcher.h"
#include "launch/path_store.h"
#include "launch/program_closer.h"
#include "settings/registry_reader.h"
#include "launch/utility_launcher.h"
#include "media/laser_companion.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/network_status.h"
#include "platform/timers.h"
#include "platform/input.h"
#include "platform/owners.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "protocol/command_dispatch.h"
#include "protocol/wire_format.h"
#include "activity/activity_log.h"
#include "activity/device_activity.h"
#include "activity/name_book.h"
#include "activity/recent_devices.h"
#include "help/connection_report.h"
#include "access/allow_list.h"
#include "access/device_approval.h"
#include "access/neighbour_book.h"
#include "access/early_probe_answerer.h"
#include "access/nearby_rule.h"
#include "input/text_and_pointer.h"
#include "protocol/udp_server.h"
#include "presence/balloon_limiter.h"
#include "shell/menu_item.h"
#include "presence/server_socket.h"
#include "shell/tray_icon.h"

namespace shell {

using presence::TCustomWinSocket;
using presence::TServerSocket;

// The platform services the form works through.
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
};

class TForm1 {
 public:
  static constexpr int kPort = 1565;

  // `early`, when given, has been answering the remote's search since the
  // program started; the command listener takes its socket over.
  TForm1(platform::TApplication& application, TPlatform& platform,
         access_policy::TEarlyProbeAnswerer* early = nullptr);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Components, in the form's order. The menu items get their captions,
  // marks, order and handlers from the menu's table (tray_menu.cpp).
  TTrayIcon TrayIcon1;
  TPopupMenu PopupMenu1;
  TMenuItem Exit1;
  TServerSocket ServerSocket1;
  protocol::TIdUDPServer IdUDPServer1;
  TMenuItem Label1;
  TMenuItem IP1;
  TMenuItem StartRun1;
  TMenuItem N1;
  TMenuItem AskFirst1;
  TMenuItem Devices1;
  TMenuItem Pause1;
  TMenuItem Balloons1;
  TMenuItem OpenLog1;
  TMenuItem Help1;

  // Event handlers.
  static bool GoesToTheForegroundWindow(const protocol::TStream& data);
  void IdUDPServer1UDPRead(protocol::TIdUDPServer& sender, protocol::TStream& data,
                           protocol::TIdSocketHandle& binding);
  void FormActivate();
  void ServerSocket1ClientConnect(TServerSocket& sender, TCustomWinSocket& socket);
  void ServerSocket1ClientDisconnect(TServerSocket& sender, TCustomWinSocket& socket);
  void ServerSocket1ClientRead(TServerSocket& sender, TCustomWinSocket& socket);
  void TrayIcon1MouseDown(TMouseButton button, int x, int y);
  void StartRun1Click();
  void Exit1Click();
  void AskFirst1Click();
  void Pause1Click();
  void Balloons1Click();
  void OpenLog1Click();
  void Help1Click();
  // Ctrl+Alt+Shift+P, from whichever window has the keyboard.
  void PauseHotkeyPressed();
  void ForgetDeviceClick(const std::string& device, const std::string& caption);
  // The listener thread's first look at each datagram; true hands it over.
  bool IdUDPServer1ListenerRead(protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                std::size_t size);

  void ShowBalloon(const std::string& title, const std::string& text);

  // Group 1 of the command datagram: a button of a media application page,
  // pressed as the page's key map says.
  void MediaPageButton(std::uint8_t page, std::uint8_t code);
  // Groups 2 and 4, carried out as their rooms do and noted in the activity log.
  void TypeText(std::string_view text);
  void LaunchUtility(std::uint8_t selector);
  void CloseUtility(std::uint8_t selector);

  // The subsystems, wired at construction; each command group's handler is
  // registered with the dispatcher and calls one of them.
  protocol::TCommandDispatcher Dispatcher;
  input::TInputSender Keyboard;
  input::TTextAndPointer TextAndPointer;
  input::TInputTargetCheck InputTarget;
  media::TLaserCompanion Laser;
  launch::TPathStore Store;
  launch::TProgramCloser Closer;
  launch::TLocator Locator;
  launch::TPageLauncher Pages;
  launch::TUtilityLauncher Utilities;

  // Who may drive this PC.
  access_policy::TNearbyRule Nearby;
  access_policy::TAllowList AllowList;
  access_policy::TNeighbourBook Neighbours;
  access_policy::TDeviceApproval Approval;
  presence::TBalloonLimiter Balloons;
  bool Paused = false;       // "Pause remote control": not remembered
  bool PauseHotkey = false;  // Ctrl+Alt+Shift+P is ours

  // What the person at the PC can read later of the remote's use.
  activity::TActivityLog Log;
  // Which devices use the host now: the tray's icon, tip and Devices menu.
  activity::TDeviceActivity Activity;
  // The names the network gives them, for the menu and the question.
  activity::TNameBook Names;
  // The last devices heard from and what became of them, for the connection help.
  activity::TRecentDevices Recent;

  // Fields.
  std::unique_ptr<settings::TRegistry> Registry;  // only while start-up reads the folders
  std::string ComputerName;
  std::string IpList;
  std::string CommonStartupLink;
  std::string UserStartupLink;
  std::string LinkDescription;

 private:
  void LoadComponents();
  void StartListener();
  void BuildTrayMenu();
  void RegisterCommandGroups();
  void DetachFromApplication();
  void LoadDeviceSettings();
  void RefreshDevicesMenu();
  // Whether a command from this address is carried out; asks the user about a new device.
  bool MayCarryOut(std::uint32_t address);
  void AskAboutDevice(std::uint32_t address);
  void ShowPresenceBalloon(bool connected, const std::string& address);
  // A line of the activity log about a device (0: the PC itself); main thread only.
  void NoteActivity(std::uint32_t address, activity::Activity what, const std::string& detail = "");
  void RegisterPauseHotkey();
  // The icon and tip as the pause switch and the devices in use say.
  void RefreshTrayLook();
  void LookTimerTick();
  // "192.168.1.23 (3c-22-fb-01-02-03, pixel-7.lan)", with what is known.
  std::string DeviceWords(std::uint32_t address);
  std::string QuestionLine(std::uint32_t address);
  void WatchForName(std::uint32_t address);
  void NoteLaunch(launch::LaunchOutcome outcome, const char* name);
  // Any thread.
  void NoteHeard(std::uint32_t address, const std::string& hardware, activity::Heard what);
  std::string HelpText();
  void HelpTick();
  void HelpButton(std::size_t button);
  void ReadSystemSettings();
  void ReadFolders();

  platform::TApplication& application_;
  TPlatform& platform_;
  access_policy::TEarlyProbeAnswerer* early_;
  int question_ = 0;  // the question on screen, 0 for none
  std::uint32_t question_about_ = 0;
  int name_timer_ = 0;              // watches for the name of the device asked about
  std::uint32_t command_from_ = 0;  // the sender of the command being carried out
  int look_timer_ = 0;              // turns the in-use icon back a minute after the last command
  int help_timer_ = 0;              // refreshes the connection help while it is open
  std::string help_text_;           // what the connection help shows
  std::vector<platform::Ipv4Interface> help_adapters_;  // the adapters it was read for
  help::NetworkFacts help_facts_;
  platform::TAddressWatch address_watch_;
};

}  // namespace shell
