// Who may drive this PC: the listener's first look at each datagram, the
// question about a new device, the allowed devices, and the pause switch.
#include "access/datagram_gate.h"
#include "protocol/wire_format.h"
#include "shell/form1.h"

namespace shell {
namespace {

constexpr const char* kCaption = "Mirovanta 2";
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

}  // namespace

bool TForm1::IdUDPServer1ListenerRead(protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                      std::size_t size) {
  using access_policy::GateVerdict;
  const GateVerdict verdict =
      access_policy::ClassifyDatagram(Nearby.IsNearby(binding.PeerAddress), data, size);
  if (verdict == GateVerdict::Probe) {
    // Answered here, also while paused or before a device is allowed: the
    // remote must find the host to pair with it.
    const auto& reply = protocol::wire::kProbeReply;
    IdUDPServer1.SendFrom(binding, {binding.PeerAddress, binding.PeerPort}, reply.data(),
                          reply.size());
  }
  return verdict == GateVerdict::HandOver;
}

void TForm1::LoadDeviceSettings() {
  AllowList.Load();
  AskFirst1.Checked = access_policy::ReadAskFirst(platform_.registry);
  Approval.Ask = AskFirst1.Checked;
  RefreshDevicesMenu();
}

bool TForm1::MayCarryOut(std::uint32_t address) {
  switch (Approval.Decide(address)) {
    case access_policy::ApprovalDecision::CarryOut: return true;
    case access_policy::ApprovalDecision::AskUser: AskAboutDevice(address); return false;
    case access_policy::ApprovalDecision::Drop: return false;
  }
  return false;
}

void TForm1::AskAboutDevice(std::uint32_t address) {
  platform::PromptText text{
      kCaption,
      "A device at " + Approval.DeviceText(address) + " wants to control this PC.",
      "Allow it to press keys, move the pointer and start programs?",
      kApprovalNote,
      "Allow",
      "Deny"};
  text.yes_armed_after_ms = access_policy::TDeviceApproval::kAllowArmedAfterMs;
  const int question =
      platform_.dialogs.AskQuestion(text, access_policy::TDeviceApproval::kAnswerTimeoutMs,
                                    [this](platform::PromptAnswer answer) {
                                      question_ = 0;
                                      if (auto next = Approval.Answer(ApprovalOf(answer)))
                                        AskAboutDevice(*next);
                                    });
  // 0: the question could not be shown and has been answered already.
  if (question != 0) question_ = question;
}

void TForm1::AskFirst1Click() {
  Approval.Ask = AskFirst1.Checked;
  // Not remembered when the registry refuses: the menu still says how it is now.
  access_policy::WriteAskFirst(platform_.registry, AskFirst1.Checked);
}

void TForm1::Pause1Click() {
  Paused = Pause1.Checked;
  TrayIcon1.SetPaused(Paused);
}

void TForm1::RefreshDevicesMenu() {
  Devices1.Items.clear();
  for (const auto& [device, seen_at] : AllowList.Entries()) {
    const std::string caption =
        seen_at.empty() || seen_at == device ? device : device + " (" + seen_at + ")";
    TMenuItem item(caption);
    item.OnClick = [this, device = device, caption] { ForgetDeviceClick(device, caption); };
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
  }
}

void TForm1::ShowPresenceBalloon(bool connected, const std::string& address) {
  if (!Balloons.Admit(address, connected, platform_.system.TickCountMs())) return;
  ShowBalloon(connected ? "Device Connected" : "Device Disconnected", "Device IP : " + address);
}

}  // namespace shell
