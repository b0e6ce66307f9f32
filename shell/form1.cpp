#include "shell/form1.h"

#include "protocol/wire_format.h"

namespace shell {
namespace {

// The folder of the running program, with its trailing backslash.
std::string ExeDirectory(platform::TApplication& application) {
  const std::string exe = application.ExeName();
  const std::size_t separator = exe.find_last_of('\\');
  return separator == std::string::npos ? "" : exe.substr(0, separator + 1);
}

}  // namespace

TForm1::TForm1(platform::TApplication& application, TPlatform& platform,
               protocol::TEarlyProbeAnswerer* early)
    : TrayIcon1(platform.notification_area),
      IdUDPServer1(
          platform.sockets, [&application] { application.WakeMainThread(); },
          application.NewSignal()),
      Activity(
          {platform.files, platform.system, platform.timers, platform.shell, platform.sockets},
          [this](std::uint32_t address) { return Access.HardwareAddress(address); },
          [this](platform::TrayIconState state, const std::string& tip) {
            TrayIcon1.SetLook(state, tip);
          }),
      Access({platform.sockets, platform.registry, platform.system, platform.dialogs,
              platform.timers, platform.hotkeys},
             Events, Activity, Commands),
      Presence(
          {platform.stream_server, platform.registry, platform.system, platform.timers}, Events,
          ComputerName,
          [this](const std::string& title, const std::string& text) { ShowBalloon(title, text); }),
      Input({platform.input, platform.clipboard, platform.windows, platform.system}, Events,
            [this](const std::string& text) { ShowBalloon("Mirovanta 2", text); }),
      Launch({platform.shell, platform.processes, platform.windows, platform.registry,
              platform.profile, platform.system},
             Events, ExeDirectory(application)),
      Media(platform.shell, platform.windows, platform.processes, ExeDirectory(application), Input,
            Launch),
      Help({platform.sockets, platform.network_status, platform.system, platform.dialogs,
            platform.timers, platform.clipboard, platform.shell},
           Activity.Recent, [this] { return HostFacts(); }),
      Browser({platform.crypto, platform.protect, platform.registry, platform.system,
               platform.dialogs, platform.sockets, platform.timers},
              Events, Access, [&application] { application.WakeMainThread(); }),
      Autostart({platform.system, platform.registry, platform.links}, application.ExeName()),
      Session(
          platform.sessions, platform.timers, Events,
          {{[this] { TakePorts(); }, [this] { GiveUpPorts(); }},
           [this] { return IdUDPServer1.StartSelfCheck(); },
           [this] { return IdUDPServer1.SelfCheckArrived() && Presence.ServerSocket1.Active(); },
           [this] { Woke(); }}),
      application_(application),
      early_(early),
      platform_(platform) {
  // The log and the icon hear of a new connection before the question is asked.
  Events.Subscribe(Activity);
  Events.Subscribe(Access);
  Events.Subscribe(Presence);
  Events.Subscribe(Input);
  for (service::ICapability* capability : Capabilities()) capability->RegisterCommands(Commands);
  application_.AttachMainForm({[this] { FormActivate(); },
                               [this] {
                                 IdUDPServer1.Handover().RunPending();
                                 Browser.Handover().RunPending();
                               },
                               [this] { Exit1Click(); }});
  try {
    LoadComponents();
    application_.Minimize();
    ReadSystemSettings();
    Events.Happened({}, service::Activity::HostStarted, "");
  } catch (...) {
    // The error box that follows runs a message loop: a wake-up queued by the
    // listener must find neither a listener nor this form, which is gone then.
    DetachFromApplication();
    throw;
  }
}

std::vector<service::ICapability*> TForm1::Capabilities() {
  return {&Access, &Browser, &Presence, &Activity, &Help, &Autostart, &Input, &Launch, &Media};
}

// What the connection help says of the host itself.
help::HostFacts TForm1::HostFacts() {
  help::HostFacts host;
  host.computer_name = ComputerName;
  host.program = application_.ExeName();
  host.port = kPort;
  host.udp_listening = IdUDPServer1.Active();
  host.tcp_listening = Presence.ServerSocket1.Active();
  host.browser_port = browser::kBrowserPort;
  host.browser_listening = Browser.Listening();
  host.locked = Session.Locked();
  host.browsers_only = Access.BrowsersOnly();
  host.other_user_serves = Session.State() == service::Serving::OtherUser;
  host.not_at_console = Session.State() == service::Serving::NotAtConsole;
  for (const browser::PairedBrowser& paired : Browser.Paired().Browsers()) {
    host.browsers.push_back(browser::PairedCaption(paired.paired_at));
  }
  return host;
}

void TForm1::DetachFromApplication() {
  IdUDPServer1.SetActive(false);
  Browser.Stop();
  application_.AttachMainForm({});
  Access.Stop();
  Presence.Stop();
  Help.Stop();
  // The name goes after the listeners: another user's host that sees it
  // gone finds the ports free.
  Presence.ServerSocket1.SetActive(false);
  Session.Stop();
  // Last: the connections' ends may have changed the icon's look once more.
  Activity.Stop();
}

// The components in the order the host has always set them up: the icon
// first, then the listeners. Their errors leave the constructor.
void TForm1::LoadComponents() {
  BuildTrayMenu();
  Access.Load();
  Presence.Load([this](std::uint32_t peer) { return Access.MayConnect(peer); });
  TrayIcon1.PopupMenu = &PopupMenu1;
  TrayIcon1.OnMouseDown = [this](TMouseButton button, int x, int y) {
    TrayIcon1MouseDown(button, x, y);
  };
  TrayIcon1.Show();

  IdUDPServer1.DefaultPort = kPort;
  IdUDPServer1.BufferSize = protocol::wire::kLargestDatagram;
  IdUDPServer1.BroadcastEnabled = false;
  // Each datagram goes from the listener to the access service, which
  // answers probes on the listener thread and lets commands through its gate
  // to the service that owns what they ask.
  IdUDPServer1.OnListenerRead = [this](protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                       std::size_t size) {
    return Access.ListenerRead(IdUDPServer1, binding, data, size);
  };
  IdUDPServer1.OnUDPRead = [this](protocol::TIdUDPServer& sender, protocol::TStream& data,
                                  protocol::TIdSocketHandle& binding) {
    IdUDPServer1UDPRead(sender, data, binding);
  };
  Access.WatchAddresses();
  Session.Start();
  // Another user's host has the port: what the early answerer holds is not
  // this host's to answer on.
  if (early_ && Session.State() != service::Serving::Here) early_->Stop();
  Access.MoreDevices = [this] { return Browser.DeviceRows(); };
  Browser.Load();
  browser_loaded_ = true;
  if (Session.State() == service::Serving::Here) Browser.Listen(platform_.browser_port);
  // Both belong to the end of loading; the icon's second round trip to the
  // shell comes after the listeners, so that a remote finds the host sooner.
  // The picture it sends is the one already shown.
  TrayIcon1.SetApplicationIcon();
}

// The command listener, on the socket that has answered the remote's search
// since the program started when there is one; what waits in it is received
// now. A bind that failed early fails here again, at its place in the start-up.
void TForm1::StartListener() {
  if (early_) IdUDPServer1.Adopt(early_->Take(), early_->Port());
  IdUDPServer1.SetActive(true);
  if (!early_) return;
  // The log was not there when these answers failed.
  for (std::uint32_t address : early_->Unsent()) {
    Events.Happened({address, ""}, service::Activity::ReplyNotSent, "");
  }
  early_ = nullptr;  // its socket is the listener's now
}

// The presence server first, as the start-up always had it; the browser
// remote's server once its browsers are read.
void TForm1::TakePorts() {
  Presence.Listen(kPort);
  StartListener();
  if (browser_loaded_) Browser.Listen(platform_.browser_port);
}

void TForm1::GiveUpPorts() {
  IdUDPServer1.SetActive(false);
  Presence.GiveUpPort();
  Browser.Stop();
}

void TForm1::Woke() {
  TrayIcon1.Restore();
  ReadAddresses();
}

// The icon leaves the notification area with its member, after the rest.
TForm1::~TForm1() {
  DetachFromApplication();
  Events.Happened({}, service::Activity::HostStopped, "");
  Media.Laser.StopLaserCompanion();
}

void TForm1::FormActivate() { application_.HideApplicationWindow(); }

// A datagram the listener handed over, on the main thread: into the gate.
void TForm1::IdUDPServer1UDPRead(protocol::TIdUDPServer&, protocol::TStream& data,
                                 protocol::TIdSocketHandle& binding) {
  Access.CommandArrived(data, binding);
}

void TForm1::Exit1Click() { application_.Terminate(); }

}  // namespace shell
