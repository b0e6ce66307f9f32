#include "presence/presence_service.h"

#include "settings/on_off_setting.h"

namespace presence {

using service::Activity;

TPresenceService::TPresenceService(TPresencePlatform platform, service::IHostEvents& events,
                                   const std::string& computer_name, ShowBalloon show_balloon)
    : ServerSocket1(platform.stream_server),
      platform_(platform),
      events_(events),
      computer_name_(computer_name),
      show_balloon_(std::move(show_balloon)) {
  Balloons1.OnClick = [this] { Balloons1Click(); };
}

TPresenceService::~TPresenceService() { Stop(); }

void TPresenceService::Load(std::function<bool(std::uint32_t peer)> accept) {
  ShowBalloons =
      settings::ReadOnOff(platform_.registry, settings::kSettingsKey, kBalloonsValue, true);
  BeforeMenu();
  ServerSocket1.OnClientConnect = [this](TServerSocket& sender, TCustomWinSocket& socket) {
    ServerSocket1ClientConnect(sender, socket);
  };
  ServerSocket1.OnClientDisconnect = [this](TServerSocket& sender, TCustomWinSocket& socket) {
    ServerSocket1ClientDisconnect(sender, socket);
  };
  ServerSocket1.OnClientRead = [this](TServerSocket& sender, TCustomWinSocket& socket) {
    ServerSocket1ClientRead(sender, socket);
  };
  ServerSocket1.AcceptFilter = std::move(accept);
}

void TPresenceService::Listen(int port) {
  ServerSocket1.Port = port;
  ServerSocket1.SetActive(true);
}

void TPresenceService::WokeFromSleep() {
  ServerSocket1.DisconnectWhere([this](TCustomWinSocket& connection) {
    const auto& may_stay = ServerSocket1.AcceptFilter;
    return platform_.stream_server.PeerClosed(connection.Handle()) ||
           (may_stay && !may_stay(connection.RemoteIp()));
  });
}

void TPresenceService::GiveUpPort() {
  ServerSocket1.DisconnectWhere([](TCustomWinSocket&) { return true; });
  ServerSocket1.SetActive(false);
}

void TPresenceService::Stop() {
  if (gone_timer_ != 0) platform_.timers.Stop(gone_timer_);
  gone_timer_ = 0;
}

void TPresenceService::Balloons1Click() {
  ShowBalloons = !ShowBalloons;
  // Not remembered when the registry refuses: the menu still says how it is now.
  settings::WriteOnOff(platform_.registry, settings::kSettingsKey, kBalloonsValue, ShowBalloons);
  BeforeMenu();
}

// Only nearby devices not refused get here, at most 16 at a time and 4 from
// one address (the server closed the others).
void TPresenceService::ServerSocket1ClientConnect(TServerSocket& sender, TCustomWinSocket& socket) {
  ShowPresenceBalloon(true, socket.RemoteAddress());
  events_.Happened({socket.RemoteIp(), ""}, Activity::Connected, "");
  platform::SocketError error;
  // A send that fails is a connection that broke: the device left again.
  if (!socket.SendText(computer_name_, error)) {
    events_.Happened({socket.RemoteIp(), ""}, Activity::NameNotSent, "");
    sender.Disconnect(socket);
    return;
  }
  // Counted only once it holds: a connection that broke at once is gone.
  events_.DeviceConnected(service::Origin::App(socket.RemoteIp()));
  WatchForGone();
}

void TPresenceService::ServerSocket1ClientDisconnect(TServerSocket&, TCustomWinSocket& socket) {
  ShowPresenceBalloon(false, socket.RemoteAddress());
  events_.Happened({socket.RemoteIp(), ""}, Activity::Disconnected, "");
  events_.DeviceDisconnected(service::Origin::App(socket.RemoteIp()));
}

void TPresenceService::ShowPresenceBalloon(bool connected, const std::string& address) {
  if (!ShowBalloons) return;  // muted: the log still tells
  if (!Balloons.Admit(address, connected, platform_.system.TickCountMs())) return;
  show_balloon_(connected ? "Device Connected" : "Device Disconnected", "Device IP : " + address);
}

// A device whose connection ended without a notification must not be shown
// as connected for ever: while any is connected, each tick looks whether the
// devices are still there. An idle host is never woken.
void TPresenceService::WatchForGone() {
  if (gone_timer_ != 0) return;
  gone_timer_ = platform_.timers.Start(kGoneCheckMs, [this] {
    ServerSocket1.DisconnectGone();
    if (ServerSocket1.ConnectionCount() == 0) Stop();
  });
}

}  // namespace presence
