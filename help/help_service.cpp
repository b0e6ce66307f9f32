#include "help/help_service.h"

#include "help/copy_text.h"
#include "platform/owners.h"

namespace help {
namespace {

constexpr std::size_t kCopyButton = 0;
constexpr std::size_t kSettingsButton = 1;
constexpr std::size_t kCloseButton = 2;
constexpr const char* kNetworkSettings = "ms-settings:network-status";
constexpr const char* kNetworkCentre = "/name Microsoft.NetworkAndSharingCenter";

}  // namespace

THelpService::THelpService(THelpPlatform platform, const activity::TRecentDevices& recent,
                           ReadHost read_host)
    : platform_(platform), recent_(recent), read_host_(std::move(read_host)) {
  Help1.OnClick = [this] { Help1Click(); };
}

THelpService::~THelpService() { Stop(); }

void THelpService::Stop() {
  if (timer_ != 0) platform_.timers.Stop(timer_);
  timer_ = 0;
  platform_.dialogs.CloseReport();
}

std::string THelpService::HelpText() {
  HostFacts host = read_host_();
  host.adapters = adapters_;
  host.devices = recent_.Newest();
  host.now = platform_.system.LocalNow();
  return ConnectionReport(host, facts_);
}

void THelpService::Help1Click() {
  adapters_ = platform_.sockets.Interfaces();
  facts_ = ReadNetworkFacts(platform_.network_status, platform_.system);
  text_ = HelpText();
  platform_.dialogs.ShowReport({kHelpCaption, text_, {"Copy", "Open network settings", "Close"}},
                               [this](std::size_t button) { HelpButton(button); });
  if (timer_ == 0) timer_ = platform_.timers.Start(kRefreshMs, [this] { HelpTick(); });
}

void THelpService::HelpTick() {
  if (!platform_.dialogs.ReportShown()) {
    platform_.timers.Stop(timer_);
    timer_ = 0;
    return;
  }
  std::vector<platform::Ipv4Interface> adapters = platform_.sockets.Interfaces();
  if (adapters != adapters_) {
    adapters_ = std::move(adapters);
    facts_ = ReadNetworkFacts(platform_.network_status, platform_.system);
  }
  // Unchanged words are left alone: setting them again would scroll the
  // view back to its top under the user's eyes.
  std::string text = HelpText();
  if (text == text_) return;
  text_ = std::move(text);
  platform_.dialogs.ChangeReport(text_);
}

void THelpService::HelpButton(std::size_t button) {
  if (button == kCopyButton) Copy();
  if (button == kSettingsButton) OpenNetworkSettings();
  if (button == kCloseButton) platform_.dialogs.CloseReport();
}

void THelpService::Copy() {
  const std::u16string units = ClipboardUnits(text_);
  platform::TOpenClipboard open(platform_.clipboard);
  // A clipboard another program holds just now: the user sees nothing
  // pasted and presses Copy again; nothing else depends on it.
  if (!open.IsOpen()) return;
  platform_.clipboard.Empty();
  platform_.clipboard.SetText(platform::TextFormat::Unicode, units.c_str(),
                              (units.size() + 1) * sizeof(char16_t));
}

// Settings pages are Windows 10's; before it the control panel's page.
void THelpService::OpenNetworkSettings() {
  if (platform::Started(
          platform_.shell.Execute("open", kNetworkSettings, "", "", platform::ShowAs::Normal))) {
    return;
  }
  platform_.shell.Execute("open", "control.exe", kNetworkCentre, "", platform::ShowAs::Normal);
}

}  // namespace help
