// "Connection help…": why a device is served or not, from the adapters, the
// networks' profiles, the firewall, the ports and the devices heard lately.
#include "help/connection_report.h"
#include "help/copy_text.h"
#include "launch/launch_outcome.h"
#include "platform/owners.h"
#include "shell/form1.h"

namespace shell {
namespace {

// The devices' lines and the adapters are looked at this often while the
// view is open; the firewall and the networks only when the adapters change.
constexpr unsigned kHelpRefreshMs = 2000;
constexpr std::size_t kCopyButton = 0;
constexpr std::size_t kSettingsButton = 1;
constexpr std::size_t kCloseButton = 2;
constexpr const char* kNetworkSettings = "ms-settings:network-status";
constexpr const char* kNetworkCentre = "/name Microsoft.NetworkAndSharingCenter";

}  // namespace

void TForm1::NoteHeard(std::uint32_t address, const std::string& hardware, activity::Heard what) {
  Recent.Note(address, hardware, what, platform_.system.LocalNow());
}

std::string TForm1::HelpText() {
  help::HostFacts host;
  host.computer_name = ComputerName;
  host.program = application_.ExeName();
  host.port = kPort;
  host.udp_listening = IdUDPServer1.Active();
  host.tcp_listening = ServerSocket1.Active();
  host.adapters = help_adapters_;
  host.devices = Recent.Newest();
  host.now = platform_.system.LocalNow();
  return help::ConnectionReport(host, help_facts_);
}

void TForm1::Help1Click() {
  help_adapters_ = platform_.sockets.Interfaces();
  help_facts_ = help::ReadNetworkFacts(platform_.network_status, platform_.system);
  help_text_ = HelpText();
  platform_.dialogs.ShowReport(
      {help::kHelpCaption, help_text_, {"Copy", "Open network settings", "Close"}},
      [this](std::size_t button) { HelpButton(button); });
  if (help_timer_ == 0) {
    help_timer_ = platform_.timers.Start(kHelpRefreshMs, [this] { HelpTick(); });
  }
}

void TForm1::HelpTick() {
  if (!platform_.dialogs.ReportShown()) {
    platform_.timers.Stop(help_timer_);
    help_timer_ = 0;
    return;
  }
  std::vector<platform::Ipv4Interface> adapters = platform_.sockets.Interfaces();
  if (adapters != help_adapters_) {
    help_adapters_ = std::move(adapters);
    help_facts_ = help::ReadNetworkFacts(platform_.network_status, platform_.system);
  }
  // Unchanged words are left alone: setting them again would scroll the
  // view back to its top under the user's eyes.
  std::string text = HelpText();
  if (text == help_text_) return;
  help_text_ = std::move(text);
  platform_.dialogs.ChangeReport(help_text_);
}

void TForm1::HelpButton(std::size_t button) {
  if (button == kCopyButton) {
    const std::u16string units = help::ClipboardUnits(help_text_);
    platform::TOpenClipboard open(platform_.clipboard);
    // A clipboard another program holds just now: the user sees nothing
    // pasted and presses Copy again; nothing else depends on it.
    if (!open.IsOpen()) return;
    platform_.clipboard.Empty();
    platform_.clipboard.SetText(platform::TextFormat::Unicode, units.c_str(),
                                (units.size() + 1) * sizeof(char16_t));
  } else if (button == kSettingsButton) {
    // Settings pages are Windows 10's; before it the control panel's page.
    if (!launch::Started(
            platform_.shell.Execute("open", kNetworkSettings, "", "", platform::ShowAs::Normal))) {
      platform_.shell.Execute("open", "control.exe", kNetworkCentre, "", platform::ShowAs::Normal);
    }
  } else if (button == kCloseButton) {
    platform_.dialogs.CloseReport();
  }
}

}  // namespace shell
