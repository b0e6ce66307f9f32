#include "shell/form1.h"

#include "launch/store_layout.h"
#include "settings/program_files.h"
#include "protocol/command_dispatch.h"
#include "protocol/wire_format.h"
#include "shell/address_list.h"

namespace shell {
namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::size_t kComputerNameBuffer = 16;
constexpr const char* kLinkFileName = "\\Mirovanta 2.lnk";
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder of the running program, with its trailing backslash.
std::string ExeDirectory(platform::TApplication& application) {
  const std::string exe = application.ExeName();
  const std::size_t separator = exe.find_last_of('\\');
  return separator == std::string::npos ? "" : exe.substr(0, separator + 1);
}

}  // namespace

TForm1::TForm1(platform::TApplication& application, TPlatform& platform,
               access_policy::TEarlyProbeAnswerer* early)
    : TrayIcon1(platform.notification_area),
      ServerSocket1(platform.stream_server),
      IdUDPServer1(
          platform.sockets, [&application] { application.WakeMainThread(); },
          application.NewSignal()),
      Keyboard(platform.input),
      TextAndPointer(platform.input, platform.clipboard, Keyboard),
      InputTarget(
          platform.windows, [&platform] { return platform.system.TickCountMs(); },
          [this](const std::string& text) { ShowBalloon("Mirovanta 2", text); }),
      Laser(platform.shell, platform.windows, ExeDirectory(application)),
      Store(platform.profile),
      Closer(platform.processes, platform.windows),
      Locator(platform.shell, ExeDirectory(application)),
      Pages({platform.registry, platform.system, platform.shell}, Store, Closer, Locator),
      Utilities(platform.system, platform.shell, Store, Closer, Locator),
      Nearby([&platform] { return platform.sockets.Interfaces(); }),
      AllowList(platform.registry),
      Neighbours([&platform] { return platform.sockets.Neighbours(); },
                 [&platform] { return platform.system.TickCountMs(); }),
      Approval(
          AllowList, [this](std::uint32_t address) { return Neighbours.HardwareAddress(address); },
          [&platform] { return platform.system.TickCountMs(); }),
      Log(platform.files, platform.system, activity::ActivityFolder(platform.system)),
      Names([&platform](std::uint32_t address) { return platform.sockets.HostNameOf(address); }),
      application_(application),
      platform_(platform),
      early_(early) {
  RegisterCommandGroups();
  application_.AttachMainForm({[this] { FormActivate(); },
                               [this] { IdUDPServer1.Handover().RunPending(); },
                               [this] { Exit1Click(); }});
  try {
    LoadComponents();
    application_.Minimize();
    ReadSystemSettings();
    NoteActivity(0, activity::Activity::HostStarted);
  } catch (...) {
    // The error box that follows runs a message loop: a wake-up queued by the
    // listener must find neither a listener nor this form, which is gone then.
    DetachFromApplication();
    throw;
  }
}

void TForm1::DetachFromApplication() {
  IdUDPServer1.SetActive(false);
  application_.AttachMainForm({});
  // Ends before anything the watch's callback uses is destroyed, and waits
  // for a call that is running.
  address_watch_.Reset();
  // An open question would answer into a form that is gone.
  if (question_ != 0) platform_.dialogs.CloseQuestion(question_);
  question_ = 0;
  if (look_timer_ != 0) platform_.timers.Stop(look_timer_);
  look_timer_ = 0;
  if (name_timer_ != 0) platform_.timers.Stop(name_timer_);
  name_timer_ = 0;
  // The connection help's buttons and refresh would call into it too.
  if (help_timer_ != 0) platform_.timers.Stop(help_timer_);
  help_timer_ = 0;
  platform_.dialogs.CloseReport();
}

// The components as the form resource sets them up: the icon is added as its
// Visible property is read; the servers start listening when loading ends.
// Their errors leave the constructor.
void TForm1::LoadComponents() {
  BuildTrayMenu();
  LoadDeviceSettings();
  RegisterPauseHotkey();
  TrayIcon1.PopupMenu = &PopupMenu1;
  TrayIcon1.OnMouseDown = [this](TMouseButton button, int x, int y) {
    TrayIcon1MouseDown(button, x, y);
  };
  TrayIcon1.Show();

  ServerSocket1.Port = kPort;
  ServerSocket1.OnClientConnect = [this](TServerSocket& sender, TCustomWinSocket& socket) {
    ServerSocket1ClientConnect(sender, socket);
  };
  ServerSocket1.OnClientDisconnect = [this](TServerSocket& sender, TCustomWinSocket& socket) {
    ServerSocket1ClientDisconnect(sender, socket);
  };
  ServerSocket1.OnClientRead = [this](TServerSocket& sender, TCustomWinSocket& socket) {
    ServerSocket1ClientRead(sender, socket);
  };

  IdUDPServer1.DefaultPort = kPort;
  IdUDPServer1.BufferSize = protocol::wire::kLargestDatagram;
  IdUDPServer1.BroadcastEnabled = false;
  IdUDPServer1.OnUDPRead = [this](protocol::TIdUDPServer& sender, protocol::TStream& data,
                                  protocol::TIdSocketHandle& binding) {
    IdUDPServer1UDPRead(sender, data, binding);
  };
  IdUDPServer1.OnListenerRead = [this](protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                       std::size_t size) {
    return IdUDPServer1ListenerRead(binding, data, size);
  };
  // A refused device gets no name and causes no balloon, as a far one.
  ServerSocket1.AcceptFilter = [this](std::uint32_t peer) {
    return Nearby.IsNearby(peer) && !Approval.Refused(peer);
  };
  // A network that changes is seen at once; without the system's word, within 5 s.
  address_watch_ =
      platform::TAddressWatch(platform_.sockets, [this] { Nearby.AddressesChanged(); });
  // The nearby rule reads the adapters every 30 s all the same.
  if (!address_watch_.Watching()) NoteActivity(0, activity::Activity::AddressWatchFailed);

  ServerSocket1.SetActive(true);
  StartListener();
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
    Log.Note({address, ""}, activity::Activity::ReplyNotSent);
  }
}

// The constructor's steps after the components: system, records, paths,
// names, menu captions and the autostart mark.
void TForm1::ReadSystemSettings() {
  const platform::OsVersion os = platform_.system.Version();
  if (!os.nt) {
    application_.Terminate();
    Utilities.IsNT6 = 0;
  } else {
    // Every system with user account control: NT 6.x and 10.0 alike.
    Utilities.IsNT6 = os.major >= 6 ? 1 : 0;
  }
  Keyboard.InitInputRecords();
  TextAndPointer.CursorPos = {0, 0};
  Laser.LaserWnd = 0;
  Store.IniFilePath = platform_.system.TempPath(kPathBuffer) + launch::kStoreFileName;
  ReadFolders();
  ComputerName = platform_.system.ComputerName(kComputerNameBuffer);
  IpList = LocalAddressList(platform_.sockets, ComputerName);
  Label1.Caption = ComputerName + Label1.Caption;
  IP1.Caption = IpList;
  CommonStartupLink += kLinkFileName;
  UserStartupLink += kLinkFileName;
  LinkDescription = "Mirovanta 2";
  if (!platform_.system.FileExists(CommonStartupLink) &&
      !platform_.system.FileExists(UserStartupLink)) {
    StartRun1.Checked = false;
  }
  Pages.IsWmp9or10 = false;
}

void TForm1::ReadFolders() {
  Registry = std::make_unique<settings::TRegistry>(platform_.registry);
  Registry->RootKey = platform::RootKey::LocalMachine;
  if (auto folder = settings::ReadProgramFilesDir(*Registry)) Utilities.ProgFilesDir = *folder;
  Registry->OpenKeyReadOnly(kShellFolders);
  CommonStartupLink = Registry->ReadString("Common Startup");
  Registry->CloseKey();
  Registry->RootKey = platform::RootKey::CurrentUser;
  Registry->OpenKeyReadOnly(kShellFolders);
  UserStartupLink = Registry->ReadString("Startup");
  Registry.reset();
}

TForm1::~TForm1() {
  DetachFromApplication();
  platform_.hotkeys.Unregister();
  NoteActivity(0, activity::Activity::HostStopped);
  Laser.StopLaserCompanion();
  // The components go last, as the inherited destruction takes them down; the
  // icon leaves the notification area with its component.
  IdUDPServer1.SetActive(false);
  ServerSocket1.SetActive(false);
  // The connections' ends may have changed the icon's look once more.
  if (look_timer_ != 0) platform_.timers.Stop(look_timer_);
}

void TForm1::FormActivate() { application_.HideApplicationWindow(); }

// Keys, text and the pointer go to the window in front; launches do not.
bool TForm1::GoesToTheForegroundWindow(const protocol::TStream& data) {
  using namespace protocol::wire;
  if (data.Size() <= kGroupOffset) return false;
  const std::uint8_t group = data.Memory()[kGroupOffset];
  return group == kGroupMediaPage || group == kGroupText || group == kGroupPointer;
}

void TForm1::IdUDPServer1UDPRead(protocol::TIdUDPServer&, protocol::TStream& data,
                                 protocol::TIdSocketHandle& binding) {
  // Far senders and probes never get here: the listener has seen to them.
  if (Paused) {
    const std::string hardware = Neighbours.HardwareAddress(binding.PeerAddress);
    Log.NoteRefusal({binding.PeerAddress, hardware}, activity::Refusal::Paused);
    NoteHeard(binding.PeerAddress, hardware, activity::Heard::Paused);
    return;
  }
  if (!MayCarryOut(binding.PeerAddress)) return;
  command_from_ = binding.PeerAddress;
  // A device already in use changes nothing the user sees: the per-command
  // path then does no more than note the time.
  if (Activity.Commanded(binding.PeerAddress, platform_.system.TickCountMs())) {
    Names.Request(binding.PeerAddress);
    RefreshTrayLook();
  }
  if (GoesToTheForegroundWindow(data)) InputTarget.BeforeInput();
  Dispatcher.HandleDatagram(data);
}

}  // namespace shell
