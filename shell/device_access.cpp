// Who may drive this PC: the listener's first look at each datagram, the
// question about a new device, the allowed devices, and the pause switch.
#include "access/access_settings.h"
#include "access/datagram_gate.h"
#include "settings/on_off_setting.h"
#include "protocol/wire_format.h"
#include "shell/form1.h"

namespace shell {
namespace {

constexpr const char* kCaption = "Mirovanta 2";
constexpr const char* kBalloonsValue = "ShowConnectionBalloons";
constexpr std::uint64_t kNameWaitMs = 1000;
constexpr unsigned kNameCheckMs = 100;
// How soon the in-use icon turns back after its minute: a few seconds late
// is fine, and the main thread wakes rarely.
constexpr unsigned kLookEveryMs = 5000;
constexpr const char* kPauseHotkeyTaken =
    "Pause remote control (Ctrl+Alt+Shift+P is taken by another program)";
constexpr const char* kApprovalNote =
    "Allow only your own phone or tablet. The remote sends no password: on a network you do "
    "not trust, pause remote control instead.";

access_policy::ApprovalAnswer ApprovalOf(platform::PromptAnswer answer) {
  switch (answer) {
    case platform::PromptAnswer::Yes: return access_policy::ApprovalAnswer::Allow;
    case platform::PromptAnswer::No: return access_policy::ApprovalAnswer::Deny;
    case platform::PromptAnswer::Closed: return access_policy::ApprovalAnswer::Closed;
    case platform::PromptAnswer::TimedOut: return access_policy::ApprovalAnswer::TimedOut;
  }
  return access_policy::ApprovalAnswer::Deny;
}

activity::Activity ActivityOf(platform::PromptAnswer answer) {
  switch (answer) {
    case platform::PromptAnswer::Yes: return activity::Activity::Allowed;
    case platform::PromptAnswer::No: return activity::Activity::Denied;
    case platform::PromptAnswer::Closed: return activity::Activity::QuestionClosed;
    case platform::PromptAnswer::TimedOut: return activity::Activity::TimedOut;
  }
  return activity::Activity::Denied;
}

}  // namespace

bool TForm1::IdUDPServer1ListenerRead(protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                      std::size_t size) {
  using access_policy::GateVerdict;
  const bool nearby = Nearby.IsNearby(binding.PeerAddress);
  // Only the address: the neighbour table is the main thread's to read.
  if (!nearby) {
    Log.NoteRefusal({binding.PeerAddress, ""}, activity::Refusal::FarSender);
    NoteHeard(binding.PeerAddress, "", activity::Heard::Far);
  }
  const GateVerdict verdict = access_policy::ClassifyDatagram(nearby, data, size);
  if (verdict == GateVerdict::Probe) {
    // Answered here, also while paused or before a device is allowed: the
    // remote must find the host to pair with it.
    const auto& reply = protocol::wire::kProbeReply;
    if (!IdUDPServer1.SendFrom(binding, {binding.PeerAddress, binding.PeerPort}, reply.data(),
                               reply.size())) {
      Log.Note({binding.PeerAddress, ""}, activity::Activity::ReplyNotSent);
    }
  }
  return verdict == GateVerdict::HandOver;
}

void TForm1::LoadDeviceSettings() {
  AllowList.Load();
  AskFirst1.Checked = access_policy::ReadAskFirst(platform_.registry);
  Balloons1.Checked =
      settings::ReadOnOff(platform_.registry, access_policy::kSettingsKey, kBalloonsValue, true);
  Approval.Ask = AskFirst1.Checked;
  RefreshDevicesMenu();
}

bool TForm1::MayCarryOut(std::uint32_t address) {
  const access_policy::ApprovalDecision decision = Approval.Decide(address);
  if (decision == access_policy::ApprovalDecision::CarryOut) {
    // A served device sends many commands a second, and the approval keeps
    // its answer so as not to read the neighbour table for each: the list of
    // devices looks the hardware address up only until it has it.
    const bool known = Recent.HardwareKnown(address);
    NoteHeard(address, known ? "" : Neighbours.HardwareAddress(address), activity::Heard::Served);
    return true;
  }
  const std::string hardware = Neighbours.HardwareAddress(address);
  if (decision == access_policy::ApprovalDecision::AskUser) {
    NoteHeard(address, hardware, activity::Heard::Waiting);
    AskAboutDevice(address);
    return false;
  }
  // Dropped: a denied device, or one in the line of devices waiting for an answer.
  if (!Approval.Refused(address)) {
    NoteHeard(address, hardware, activity::Heard::Waiting);
    return false;
  }
  NoteHeard(address, hardware, activity::Heard::Denied);
  Log.NoteRefusal({address, hardware}, activity::Refusal::RefusedDevice);
  return false;
}

std::string TForm1::DeviceWords(std::uint32_t address) {
  std::string known = Neighbours.HardwareAddress(address);
  const std::optional<std::string> name = Names.Name(address);
  if (name && !name->empty()) known += (known.empty() ? "" : ", ") + *name;
  const std::string ip = platform::Ipv4ToText(address);
  return known.empty() ? ip : ip + " (" + known + ")";
}

std::string TForm1::QuestionLine(std::uint32_t address) {
  return "A device at " + DeviceWords(address) + " wants to control this PC.";
}

void TForm1::AskAboutDevice(std::uint32_t address) {
  Names.Request(address);
  // Taken before the words: a name that comes back in between is then put
  // in by the watch, not missed.
  const bool named = Names.Name(address).has_value();
  platform::PromptText text{kCaption,
                            QuestionLine(address),
                            "Allow it to press keys, move the pointer and start programs?",
                            kApprovalNote,
                            "Allow",
                            "Deny"};
  text.yes_armed_after_ms = access_policy::TDeviceApproval::kAllowArmedAfterMs;
  NoteActivity(address, activity::Activity::Asked);
  const int question =
      platform_.dialogs.AskQuestion(text, access_policy::TDeviceApproval::kAnswerTimeoutMs,
                                    [this, address](platform::PromptAnswer answer) {
                                      question_ = 0;
                                      NoteActivity(address, ActivityOf(answer));
                                      if (auto next = Approval.Answer(ApprovalOf(answer)))
                                        AskAboutDevice(*next);
                                    });
  // 0: the question could not be shown and has been answered already.
  if (question == 0) return;
  question_ = question;
  question_about_ = address;
  if (!named) WatchForName(address);
}

// The name may come back while the question is up: within a second it is
// shown there too; later only the menu has it.
void TForm1::WatchForName(std::uint32_t address) {
  if (name_timer_ != 0) platform_.timers.Stop(name_timer_);
  const std::uint64_t until = platform_.system.TickCountMs() + kNameWaitMs;
  name_timer_ = platform_.timers.Start(kNameCheckMs, [this, address, until] {
    const std::optional<std::string> name = Names.Name(address);
    const bool still_asked = question_ != 0 && question_about_ == address;
    if (name && !name->empty() && still_asked) {
      platform_.dialogs.ChangeQuestionLine(question_, QuestionLine(address));
    }
    if (name || !still_asked || platform_.system.TickCountMs() >= until) {
      platform_.timers.Stop(name_timer_);
      name_timer_ = 0;
    }
  });
}

void TForm1::Balloons1Click() {
  // Not remembered when the registry refuses: the menu still says how it is now.
  settings::WriteOnOff(platform_.registry, access_policy::kSettingsKey, kBalloonsValue,
                       Balloons1.Checked);
}

void TForm1::AskFirst1Click() {
  Approval.Ask = AskFirst1.Checked;
  // Not remembered when the registry refuses: the menu still says how it is now.
  access_policy::WriteAskFirst(platform_.registry, AskFirst1.Checked);
}

void TForm1::Pause1Click() {
  Paused = Pause1.Checked;
  RefreshTrayLook();
  NoteActivity(0, Paused ? activity::Activity::Paused : activity::Activity::Resumed);
}

void TForm1::RefreshTrayLook() {
  const auto in_use = Activity.InUse(platform_.system.TickCountMs());
  platform::TrayIconState state = platform::TrayIconState::Normal;
  if (!in_use.empty()) state = platform::TrayIconState::InUse;
  if (Paused) state = platform::TrayIconState::Paused;
  TrayIcon1.SetLook(state, activity::TrayTip(Paused, in_use));
  // Ticks only while the in-use icon shows: an idle host is never woken.
  const bool ticking = state == platform::TrayIconState::InUse;
  if (ticking && look_timer_ == 0) {
    look_timer_ = platform_.timers.Start(kLookEveryMs, [this] { LookTimerTick(); });
  } else if (!ticking && look_timer_ != 0) {
    platform_.timers.Stop(look_timer_);
    look_timer_ = 0;
  }
}

// While the icon says in use, a device whose connection ended without a
// notification (the system sometimes raises none for a reset) must not keep
// it so: each tick looks whether the connected devices are still there.
void TForm1::LookTimerTick() {
  ServerSocket1.DisconnectGone();
  RefreshTrayLook();
}

void TForm1::RegisterPauseHotkey() {
  PauseHotkey =
      platform_.hotkeys.Register({true, true, true, 'P'}, [this] { PauseHotkeyPressed(); });
  // The host goes on without it; the menu says why the keys do nothing.
  if (!PauseHotkey) Pause1.Caption = kPauseHotkeyTaken;
}

// A remote can press it too, but only to pause: once paused, its commands
// (this chord among them) are dropped.
void TForm1::PauseHotkeyPressed() {
  Pause1.Checked = !Pause1.Checked;
  Pause1Click();
}

// The devices using the host now or lately, then the allowed ones, each
// with "Forget…".
void TForm1::RefreshDevicesMenu() {
  Devices1.Items.clear();
  const std::uint64_t now = platform_.system.TickCountMs();
  for (const activity::DeviceUse& use : Activity.Devices()) {
    Names.Request(use.address);
    Devices1.Items.emplace_back(DeviceWords(use.address) + "\t" + activity::UseText(use, now));
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
  if (Devices1.Items.empty()) {
    Devices1.Items.emplace_back("(none)");
    Devices1.Items.back().Enabled = false;
  }
}

void TForm1::ForgetDeviceClick(const std::string& device, const std::string& caption) {
  if (platform_.dialogs.Confirm(
          kCaption, "Forget the device at " + caption + "? It will have to be allowed again.")) {
    Approval.Forget(device);
    Log.Note({0, device}, activity::Activity::Forgotten);
  }
}

void TForm1::ShowPresenceBalloon(bool connected, const std::string& address) {
  if (!Balloons1.Checked) return;  // muted: the log still tells
  if (!Balloons.Admit(address, connected, platform_.system.TickCountMs())) return;
  ShowBalloon(connected ? "Device Connected" : "Device Disconnected", "Device IP : " + address);
}

}  // namespace shell
