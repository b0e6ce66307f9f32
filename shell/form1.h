#pragma once
// The hidden main form, where the capabilities are put together: one service
// each, their rows joined into the tray menu, the listener handed to the
// access service, the start-up run in its fixed order.
#include <memory>
#include <string>
#include <vector>

#include "access/access_service.h"
#include "activity/activity_service.h"
#include "autostart/autostart_service.h"
#include "browser_remote/browser_service.h"
#include "help/help_service.h"
#include "input/input_service.h"
#include "launch/launch_service.h"
#include "media/media_service.h"
#include "platform/application.h"
#include "presence/presence_service.h"
#include "protocol/early_probe_answerer.h"
#include "protocol/udp_server.h"
#include "service/command_router.h"
#include "service/host_events.h"
#include "session/session_service.h"
#include "shell/platform_services.h"
#include "shell/tray_icon.h"

namespace shell {

class TForm1 {
 public:
  static constexpr int kPort = 1565;

  // `early`, when given, has been answering the remote's search since the
  // program started; the command listener takes its socket over.
  TForm1(platform::TApplication& application, TPlatform& platform,
         protocol::TEarlyProbeAnswerer* early = nullptr);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Fields, read at start-up; the presence channel sends the computer's name.
  std::string ComputerName;
  std::string IpList;

  // Components, and the menu rows that are the shell's own.
  TTrayIcon TrayIcon1;
  TPopupMenu PopupMenu1;
  protocol::TIdUDPServer IdUDPServer1;
  TMenuItem Label1, IP1, N1, Exit1;

  // The capabilities; each tells what happens through Events, and carries
  // out the remote commands it registered with Commands.
  service::THostEvents Events;
  service::TCommandRouter Commands;
  activity::TActivityService Activity;
  access_policy::TAccessService Access;
  presence::TPresenceService Presence;
  input::TInputService Input;
  launch::TLaunchService Launch;
  media::TMediaService Media;
  help::THelpService Help;
  browser_remote::TBrowserService Browser;
  autostart::TAutostartService Autostart;
  session::TSessionService Session;

  // Event handlers, each forwarding to a service.
  void IdUDPServer1UDPRead(protocol::TIdUDPServer& sender, protocol::TStream& data,
                           protocol::TIdSocketHandle& binding);
  void FormActivate();
  void TrayIcon1MouseDown(TMouseButton button, int x, int y);
  void Exit1Click();
  void ShowBalloon(const std::string& title, const std::string& text);

 private:
  // Every capability, in the order the menu shows their rows.
  std::vector<service::ICapability*> Capabilities();
  help::HostFacts HostFacts();
  void BuildTrayMenu();
  void LoadComponents();
  void StartListener();
  // The listeners of the remote's ports, opened and closed as this session
  // comes to the PC's screen and leaves it.
  void TakePorts();
  void GiveUpPorts();
  // After sleep: the icon back, the addresses' row read again.
  void Woke();
  // The menu's row of this PC's addresses, read as they are now.
  void ReadAddresses();
  void ReadSystemSettings();
  // Stops what could call into the form, in the order the host goes down.
  void DetachFromApplication();

  platform::TApplication& application_;
  protocol::TEarlyProbeAnswerer* early_;
  TPlatform& platform_;
  bool browser_loaded_ = false;  // the paired browsers are read: its server may start
};

}  // namespace shell
