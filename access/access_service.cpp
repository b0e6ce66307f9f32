#include "access/access_service.h"

#include <algorithm>

#include "access/access_settings.h"
#include "activity/activity_service.h"
#include "platform/ipv4.h"
#include "protocol/datagram_gate.h"
#include "protocol/wire_format.h"
#include "service/datagram_command.h"

namespace access_policy {
namespace {

using service::Activity;
using service::Heard;

constexpr const char* kCaption = "Mirovanta 2";
constexpr std::size_t kNameLine = 2;  // in the question's lines
constexpr std::uint64_t kNameWaitMs = 1000;
constexpr unsigned kNameCheckMs = 100;
constexpr const char* kApprovalNote =
    "Allow only your own phone or tablet. The remote sends no password: on a network you do "
    "not trust, pause remote control instead.";

ApprovalAnswer ApprovalOf(platform::PromptAnswer answer) {
  switch (answer) {
    case platform::PromptAnswer::Yes: return ApprovalAnswer::Allow;
    case platform::PromptAnswer::No: return ApprovalAnswer::Deny;
    case platform::PromptAnswer::Other: return ApprovalAnswer::DenyAllWaiting;
    case platform::PromptAnswer::Closed: return ApprovalAnswer::Closed;
    case platform::PromptAnswer::TimedOut: return ApprovalAnswer::TimedOut;
  }
  return ApprovalAnswer::Deny;
}

Activity ActivityOf(platform::PromptAnswer answer) {
  switch (answer) {
    case platform::PromptAnswer::Yes: return Activity::Allowed;
    case platform::PromptAnswer::No: return Activity::Denied;
    case platform::PromptAnswer::Other: return Activity::Denied;
    case platform::PromptAnswer::Closed: return Activity::QuestionClosed;
    case platform::PromptAnswer::TimedOut: return Activity::TimedOut;
  }
  return Activity::Denied;
}

std::string TwoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
         static_cast<char>('0' + value % 10);
}

std::string ClockText(const platform::LocalTime& t) {
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

}  // namespace

TAccessService::TAccessService(TAccessPlatform platform, service::IHostEvents& events,
                               activity::TActivityService& activity,
                               service::ICommandSink& commands)
    : Nearby([&sockets = platform.sockets] { return sockets.Interfaces(); }),
      AllowList(platform.registry),
      Neighbours([&sockets = platform.sockets] { return sockets.Neighbours(); },
                 [&system = platform.system] { return system.TickCountMs(); }),
      Approval(
          AllowList, [this](std::uint32_t address) { return Neighbours.HardwareAddress(address); },
          [&system = platform.system] { return system.TickCountMs(); },
          [&system = platform.system] { return system.LocalNow(); }),
      platform_(platform),
      events_(events),
      activity_(activity),
      commands_(commands) {
  AskFirst1.OnClick = [this] { AskFirst1Click(); };
  BrowsersOnly1.OnClick = [this] { BrowsersOnly1Click(); };
  StopAsking1.OnClick = [this] { StopAsking1Click(); };
  Pause1.OnClick = [this] { Pause1Click(); };
}

TAccessService::~TAccessService() {
  Stop();
  platform_.hotkeys.Unregister();
}

void TAccessService::Load() {
  AllowList.Load();
  Approval.Ask = ReadAskFirst(platform_.registry);
  if (ReadBrowsersOnly(platform_.registry)) SetBrowsersOnly(true);
  PauseHotkey =
      platform_.hotkeys.Register({true, true, true, 'P'}, [this] { PauseHotkeyPressed(); });
  // The host goes on without it; the menu says why the keys do nothing.
  if (!PauseHotkey) Pause1.Caption = kPauseHotkeyTaken;
  BeforeMenu();
}

// A network that changes is seen at once; without the system's word, within 5 s.
void TAccessService::WatchAddresses() {
  address_watch_ =
      platform::TAddressWatch(platform_.sockets, [this] { Nearby.AddressesChanged(); });
  // The nearby rule reads the adapters every 30 s all the same.
  if (!address_watch_.Watching()) events_.Happened({}, Activity::AddressWatchFailed, "");
}

void TAccessService::Stop() {
  // Ends before anything the watch's callback uses is destroyed, and waits
  // for a call that is running.
  address_watch_.Reset();
  // An open question would answer into a service that is gone.
  CloseQuestion();
  if (next_timer_ != 0) platform_.timers.Stop(next_timer_);
  next_timer_ = 0;
}

void TAccessService::CloseQuestion() {
  if (question_ != 0) platform_.dialogs.CloseQuestion(question_);
  question_ = 0;
  if (name_timer_ != 0) platform_.timers.Stop(name_timer_);
  name_timer_ = 0;
}

bool TAccessService::ListenerRead(protocol::TIdUDPServer& listener,
                                  protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                  std::size_t size) {
  const bool nearby = Nearby.IsNearby(binding.PeerAddress);
  // Only the address: the neighbour table is the main thread's to read.
  if (!nearby) {
    events_.Refused({binding.PeerAddress, ""}, service::Refusal::FarSender);
    events_.DeviceHeard({binding.PeerAddress, ""}, Heard::Far);
  }
  // The app's wire is closed: not even its search is answered.
  if (nearby && browsers_only_) {
    events_.Refused({binding.PeerAddress, ""}, service::Refusal::BrowsersOnly);
    events_.DeviceHeard({binding.PeerAddress, ""}, Heard::BrowsersOnly);
    return false;
  }
  const protocol::GateVerdict verdict = protocol::ClassifyDatagram(nearby, data, size);
  if (verdict == protocol::GateVerdict::Probe) {
    // Answered here, also while paused or before a device is allowed: the
    // remote must find the host to pair with it.
    const auto& reply = protocol::wire::kProbeReply;
    if (!listener.SendFrom(binding, {binding.PeerAddress, binding.PeerPort}, reply.data(),
                           reply.size())) {
      events_.HappenedOnListener({binding.PeerAddress, ""}, Activity::ReplyNotSent);
    }
  }
  return verdict == protocol::GateVerdict::HandOver;
}

// Far senders and probes never get here: the listener has seen to them.
void TAccessService::CommandArrived(protocol::TStream& data,
                                    const protocol::TIdSocketHandle& binding) {
  CommandArrived({service::Origin::App(binding.PeerAddress),
                  service::DecodeDatagram(data.Memory(), data.Size())});
}

void TAccessService::CommandArrived(const service::RemoteCommand& command) {
  const bool app = command.from.remote == service::Remote::App;
  const std::uint32_t address = command.from.device.address;
  // An app's device is written with its hardware address, a browser with its id.
  const auto device = [&] {
    return app ? service::Device{address, Neighbours.HardwareAddress(address)}
               : command.from.device;
  };
  if (Paused) {
    Dropped(device(), service::Refusal::Paused, Heard::Paused);
    return;
  }
  // Windows would throw the input away at the lock screen; a new device is
  // not asked about either, as nobody could answer.
  if (Locked && commands_.SendsInput(command.ask)) {
    Dropped(device(), service::Refusal::Locked, Heard::Locked);
    return;
  }
  if (app) {
    // Handed over just before the switch went on.
    if (browsers_only_)
      return Dropped(device(), service::Refusal::BrowsersOnly, Heard::BrowsersOnly);
    if (!MayCarryOut(address)) return;
    events_.CommandStarting({address, ""});
  } else {
    events_.DeviceHeard(command.from.device, Heard::Served);
    events_.CommandStarting(command.from.device);
  }
  commands_.CarryOut(command);
}

void TAccessService::Dropped(const service::Device& device, service::Refusal why, Heard heard) {
  events_.Refused(device, why);
  events_.DeviceHeard(device, heard);
}

bool TAccessService::MayConnect(std::uint32_t peer) {
  if (browsers_only_) return false;
  return Nearby.IsNearby(peer) && !Approval.Refused(peer);
}

// While paused nothing is asked: no command would be carried out anyway. At
// the lock screen nobody could answer; the first command after it asks.
void TAccessService::DeviceConnected(const service::Origin& who) {
  const std::uint32_t address = who.device.address;
  if (address == 0 || who.remote != service::Remote::App) return;
  Approval.ShowedItself(address);
  if (!Paused && !Locked) MayCarryOut(address);
}

void TAccessService::WokeFromSleep() { Nearby.ReadNow(); }

bool TAccessService::MayCarryOut(std::uint32_t address) {
  const ApprovalDecision decision = Approval.Decide(address);
  if (decision == ApprovalDecision::CarryOut) {
    // A served device sends many commands a second, and the approval keeps
    // its answer so as not to read the neighbour table for each: the list of
    // devices looks the hardware address up only until it has it.
    const bool known = activity_.Recent.HardwareKnown(address);
    events_.DeviceHeard({address, known ? "" : Neighbours.HardwareAddress(address)}, Heard::Served);
    return true;
  }
  const std::string hardware = Neighbours.HardwareAddress(address);
  switch (decision) {
    case ApprovalDecision::AskUser:
      events_.DeviceHeard({address, hardware}, Heard::Waiting);
      AskAboutDevice(address);
      return false;
    case ApprovalDecision::NotAsked:
      events_.DeviceHeard({address, hardware}, Heard::NotAsked);
      events_.Refused({address, hardware}, service::Refusal::UnknownHardware);
      return false;
    case ApprovalDecision::AskingStopped:
      events_.DeviceHeard({address, hardware}, Heard::AskingStopped);
      events_.Refused({address, hardware}, service::Refusal::AskingStopped);
      return false;
    default: break;
  }
  // Dropped: a denied device, or one in the line of devices waiting for an answer.
  if (!Approval.Refused(address)) {
    events_.DeviceHeard({address, hardware}, Heard::Waiting);
    AskNextWhenDue();
    return false;
  }
  events_.DeviceHeard({address, hardware}, Heard::Denied);
  events_.Refused({address, hardware}, service::Refusal::RefusedDevice);
  return false;
}

// The address and what else is known each on a line of its own: a name
// chosen by whoever runs the device cannot pass for any other part.
platform::PromptText TAccessService::Question(const AskedDevice& asked) {
  const std::string hardware = Neighbours.HardwareAddress(asked.address);
  platform::PromptText text;
  text.caption = kCaption;
  if (asked.number > 1) {
    // Plain ASCII: the caption goes through the window's code page.
    text.caption += ": another new device";
    text.heading = "Another new device (" + std::to_string(asked.number) + " of " +
                   std::to_string(asked.of) + " waiting)";
  }
  text.lines = {
      "A device at " + platform::Ipv4ToText(asked.address) + " wants to control this PC.",
      "Hardware address: " +
          (hardware.empty() ? std::string("not known (it connected to this PC)") : hardware),
      NameLine(asked.address),
      "It first sent at " + ClockText(asked.first_sent) + ".",
      "Allow it to press keys, move the pointer and start programs?",
  };
  text.note = kApprovalNote;
  text.yes = "Allow";
  text.no = "Deny";
  text.other = "Deny all waiting";
  text.yes_armed_after_ms = TDeviceApproval::kAllowArmedAfterMs;
  return text;
}

std::string TAccessService::NameLine(std::uint32_t address) {
  const std::optional<std::string> name =
      activity_.Names.Name(address, Neighbours.HardwareAddress(address));
  if (!name || name->empty()) return "It gives no name.";
  return "Calls itself \"" + *name + "\"";
}

void TAccessService::AskAboutDevice(std::uint32_t address) {
  const std::optional<AskedDevice>& asked = Approval.Asked();
  if (!asked || asked->address != address) return;
  // The network's answer of now: an address once a known device's may be a
  // stranger's by now.
  const std::string hardware = Neighbours.HardwareAddress(address);
  activity_.Names.LookUpAgain(address, hardware);
  // Taken before the words: a name that comes back in between is then put
  // in by the watch, not missed.
  const bool named = activity_.Names.Name(address, hardware).has_value();
  events_.Happened({address, ""}, Activity::Asked, "");
  const int question =
      platform_.dialogs.AskQuestion(Question(*asked), TDeviceApproval::kAnswerTimeoutMs,
                                    [this](platform::PromptAnswer answer) { Answered(answer); });
  // 0: the question could not be shown and has been answered already.
  if (question == 0) return;
  question_ = question;
  question_about_ = address;
  if (!named) WatchForName(address);
}

void TAccessService::Answered(platform::PromptAnswer answer) {
  question_ = 0;
  const std::optional<AskedDevice> asked = Approval.Asked();
  if (!asked) return;
  const std::vector<std::uint32_t> refused = Approval.Answer(ApprovalOf(answer));
  events_.Happened({asked->address, ""}, ActivityOf(answer), "");
  for (std::uint32_t address : refused) {
    if (address != asked->address) events_.Happened({address, ""}, Activity::Denied, "");
    events_.DeviceRefused(address);
  }
  AskNextWhenDue();
}

void TAccessService::AskNextWhenDue() {
  if (next_timer_ != 0) return;  // already set for it
  const std::optional<std::uint64_t> due_in = Approval.NextQuestionInMs();
  if (!due_in) return;
  next_timer_ =
      platform_.timers.Start(static_cast<unsigned>(std::max<std::uint64_t>(*due_in, 1)), [this] {
        platform_.timers.Stop(next_timer_);
        next_timer_ = 0;
        if (Paused || Approval.AskingStopped()) return;
        if (auto next = Approval.TakeNext()) {
          AskAboutDevice(*next);
        } else {
          AskNextWhenDue();  // not due after all: a question came in between
        }
      });
}

// The name may come back while the question is up: within a second it is
// shown there too; later only the menu has it.
void TAccessService::WatchForName(std::uint32_t address) {
  if (name_timer_ != 0) platform_.timers.Stop(name_timer_);
  const std::uint64_t until = platform_.system.TickCountMs() + kNameWaitMs;
  name_timer_ = platform_.timers.Start(kNameCheckMs, [this, address, until] {
    const std::optional<std::string> name =
        activity_.Names.Name(address, Neighbours.HardwareAddress(address));
    const bool still_asked = question_ != 0 && question_about_ == address;
    if (name && !name->empty() && still_asked) {
      platform_.dialogs.ChangeQuestionLine(question_, kNameLine, NameLine(address));
    }
    if (name || !still_asked || platform_.system.TickCountMs() >= until) {
      platform_.timers.Stop(name_timer_);
      name_timer_ = 0;
    }
  });
}

void TAccessService::AskFirst1Click() {
  Approval.Ask = !Approval.Ask;
  // Not remembered when the registry refuses: the menu still says how it is now.
  WriteAskFirst(platform_.registry, Approval.Ask);
  DrawMarks();
}

void TAccessService::BrowsersOnly1Click() {
  SetBrowsersOnly(!browsers_only_);
  // Not remembered when the registry refuses: the menu still says how it is now.
  WriteBrowsersOnly(platform_.registry, browsers_only_);
}

void TAccessService::SetBrowsersOnly(bool only) {
  if (only == browsers_only_) return;
  browsers_only_ = only;
  DrawMarks();
  events_.BrowsersOnlyChanged(only);
}

void TAccessService::StopAsking1Click() {
  if (Approval.AskingStopped()) {
    Approval.ResumeAsking();
  } else {
    // The devices asked about or waiting are neither allowed nor denied:
    // they are asked about at a command after the stop.
    CloseQuestion();
    Approval.StopAsking();
  }
  DrawMarks();
}

void TAccessService::Pause1Click() { SetPaused(!Paused); }

// No remote command presses this chord, and while paused every command is
// dropped: only the person at the PC resumes.
void TAccessService::PauseHotkeyPressed() { SetPaused(!Paused); }

void TAccessService::SetPaused(bool paused) {
  if (paused == Paused) return;
  Paused = paused;
  DrawMarks();
  events_.PauseChanged(Paused);
}

void TAccessService::BeforeMenu() {
  DrawMarks();
  RefreshDevicesMenu();
}

void TAccessService::DrawMarks() {
  AskFirst1.Checked = Approval.Ask;
  StopAsking1.Checked = Approval.AskingStopped();
  // Without asking there is nothing to stop.
  StopAsking1.Enabled = Approval.Ask;
  Pause1.Checked = Paused;
  BrowsersOnly1.Checked = browsers_only_;
}

// The devices using the host now or lately, then the allowed ones, each
// with "Forget…".
void TAccessService::RefreshDevicesMenu() {
  using service::TMenuItem;
  Devices1.Items.clear();
  const std::uint64_t now = platform_.system.TickCountMs();
  for (const activity::DeviceUse& use : activity_.InUse.Devices()) {
    activity_.Names.Request(use.address, Neighbours.HardwareAddress(use.address));
    Devices1.Items.emplace_back(activity_.DeviceWords(use.address) + "\t" +
                                activity::UseText(use, now));
  }
  if (!Devices1.Items.empty() && !AllowList.Entries().empty()) Devices1.Items.emplace_back("-");
  for (const auto& [device, seen_at] : AllowList.Entries()) {
    const std::string caption =
        seen_at.empty() || seen_at == device ? device : device + " (" + seen_at + ")";
    TMenuItem item(caption + "\tallowed");
    TMenuItem forget("Forget\xE2\x80\xA6");
    forget.OnClick = [this, device = device, caption] { ForgetDeviceClick(device, caption); };
    item.Items.push_back(std::move(forget));
    Devices1.Items.push_back(std::move(item));
  }
  std::vector<TMenuItem> more = MoreDevices ? MoreDevices() : std::vector<TMenuItem>{};
  if (!Devices1.Items.empty() && !more.empty()) Devices1.Items.emplace_back("-");
  for (TMenuItem& item : more) Devices1.Items.push_back(std::move(item));
  if (Devices1.Items.empty()) {
    Devices1.Items.emplace_back("(none)");
    Devices1.Items.back().Enabled = false;
  }
}

void TAccessService::ForgetDeviceClick(const std::string& device, const std::string& caption) {
  if (platform_.dialogs.Confirm(
          kCaption, "Forget the device at " + caption + "? It will have to be allowed again.")) {
    Approval.Forget(device);
    events_.Happened({0, device}, Activity::Forgotten, "");
  }
}

}  // namespace access_policy
