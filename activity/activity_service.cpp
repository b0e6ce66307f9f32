#include "activity/activity_service.h"

#include "platform/ipv4.h"

namespace activity {

TActivityService::TActivityService(TActivityPlatform platform, HardwareOf hardware_of,
                                   ShowLook show_look)
    : Log(platform.files, platform.system, ActivityFolder(platform.system)),
      Names([&sockets =
                 platform.sockets](std::uint32_t address) { return sockets.HostNameOf(address); },
            [&system = platform.system] { return system.TickCountMs(); }),
      platform_(platform),
      hardware_of_(std::move(hardware_of)),
      show_look_(std::move(show_look)) {
  OpenLog1.OnClick = [this] { OpenLog1Click(); };
}

TActivityService::~TActivityService() { Stop(); }

void TActivityService::Stop() {
  if (look_timer_ != 0) platform_.timers.Stop(look_timer_);
  look_timer_ = 0;
}

// In the editor Windows opens .log files with, else in Notepad, which every
// Windows has. Nothing is shown when neither starts: the menu item simply
// does nothing more.
void TActivityService::OpenLog1Click() {
  const std::string& path = Log.Path();
  if (platform::Started(platform_.shell.Execute("open", path, "", "", platform::ShowAs::Normal))) {
    return;
  }
  platform_.shell.Execute("open", "notepad.exe", "\"" + path + "\"", "", platform::ShowAs::Normal);
}

std::string TActivityService::DeviceWords(std::uint32_t address) {
  std::string known = hardware_of_(address);
  const std::optional<std::string> name = Names.Name(address, known);
  if (name && !name->empty()) known += (known.empty() ? "" : ", ") + *name;
  const std::string ip = platform::Ipv4ToText(address);
  return known.empty() ? ip : ip + " (" + known + ")";
}

void TActivityService::Happened(const service::Device& device, Activity what,
                                const std::string& detail) {
  // The neighbour table is read on the main thread only, where this runs.
  const bool look_up = device.hardware.empty() && device.address != 0;
  Log.Note({device.address, look_up ? hardware_of_(device.address) : device.hardware}, what,
           detail);
}

void TActivityService::HappenedOnListener(const service::Device& device, Activity what) {
  Log.Note(device, what);
}

void TActivityService::Refused(const service::Device& device, Refusal why) {
  Log.NoteRefusal(device, why);
}

void TActivityService::DeviceHeard(const service::Device& device, Heard what) {
  Recent.Note(device.address, device.hardware, what, platform_.system.LocalNow());
}

// A device already in use changes nothing the user sees: the per-command
// path then does no more than note the time.
void TActivityService::CommandStarting(const service::Device& device) {
  command_from_ = device.address;
  if (InUse.Commanded(device.address, platform_.system.TickCountMs())) {
    Names.Request(device.address, hardware_of_(device.address));
    RefreshTrayLook();
  }
}

void TActivityService::CommandDid(Activity what, const std::string& detail) {
  Happened({command_from_, ""}, what, detail);
}

void TActivityService::DeviceConnected(const service::Origin& who) {
  const std::uint32_t address = who.device.address;
  InUse.Connected(address, platform_.system.TickCountMs());
  Names.Request(address, hardware_of_(address));
  RefreshTrayLook();
}

void TActivityService::DeviceDisconnected(const service::Origin& who) {
  InUse.Disconnected(who.device.address);
  RefreshTrayLook();
}

void TActivityService::PauseChanged(bool paused) {
  paused_ = paused;
  RefreshTrayLook();
  Happened({}, paused ? Activity::Paused : Activity::Resumed, "");
}

void TActivityService::ServingChanged(service::Serving serving) {
  serving_ = serving;
  RefreshTrayLook();
}

void TActivityService::BrowsersOnlyChanged(bool only) {
  browsers_only_ = only;
  RefreshTrayLook();
  Happened({}, only ? Activity::BrowsersOnlyOn : Activity::BrowsersOnlyOff, "");
}

void TActivityService::RefreshTrayLook() {
  const auto in_use = InUse.InUse(platform_.system.TickCountMs());
  platform::TrayIconState state = platform::TrayIconState::Normal;
  if (!in_use.empty()) state = platform::TrayIconState::InUse;
  if (paused_) state = platform::TrayIconState::Paused;
  std::string tip = TrayTip(paused_, in_use);
  if (browsers_only_ && !paused_ && in_use.empty()) tip = kBrowsersOnlyTip;
  // Not serving says more than anything else: the icon looks paused.
  if (serving_ != service::Serving::Here) {
    state = platform::TrayIconState::Paused;
    tip = ServingTip(serving_);
  }
  show_look_(state, tip);
  // Ticks only while the in-use icon shows: an idle host is never woken.
  const bool ticking = state == platform::TrayIconState::InUse;
  if (ticking && look_timer_ == 0) {
    look_timer_ = platform_.timers.Start(kLookEveryMs, [this] { RefreshTrayLook(); });
  } else if (!ticking && look_timer_ != 0) {
    platform_.timers.Stop(look_timer_);
    look_timer_ = 0;
  }
}

}  // namespace activity
