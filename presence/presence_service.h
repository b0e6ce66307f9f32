#pragma once
// The presence channel as one capability: the TCP server on the command port,
// the computer's name sent to each device that connects, the "Device
// Connected" / "Device Disconnected" balloons and the row that mutes them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"
#include "presence/balloon_limiter.h"
#include "presence/server_socket.h"
#include "service/capability.h"
#include "service/host_events.h"

namespace presence {

struct TPresencePlatform {
  platform::IStreamServer& stream_server;
  platform::IRegistry& registry;
  platform::ISystem& system;
  platform::ITimers& timers;
};

inline constexpr const char* kBalloonsValue = "ShowConnectionBalloons";

class TPresenceService final : public service::IHostEvents, public service::ICapability {
 public:
  using ShowBalloon = std::function<void(const std::string& title, const std::string& text)>;
  // While devices are connected, this often the server looks whether each is
  // still there: the system sometimes raises no notification for a reset.
  static constexpr unsigned kGoneCheckMs = 5000;

  // `computer_name` is what a connecting device is sent, as it is then.
  TPresenceService(TPresencePlatform platform, service::IHostEvents& events,
                   const std::string& computer_name, ShowBalloon show_balloon);
  ~TPresenceService() override;
  TPresenceService(const TPresenceService&) = delete;
  TPresenceService& operator=(const TPresenceService&) = delete;

  TServerSocket ServerSocket1;
  service::TMenuItem Balloons1{"Show connection balloons"};
  std::vector<service::TMenuItem*> MenuRows() override { return {&Balloons1}; }
  void BeforeMenu() override { Balloons1.Checked = ShowBalloons; }
  void Balloons1Click();

  // Its part of the start-up: the balloons' setting, then the server's
  // events; `accept` decides by the peer's address whether a connection stays.
  void Load(std::function<bool(std::uint32_t peer)> accept);
  // Listens on `port`; throws "Windows socket error: ..." when it cannot.
  void Listen(int port);
  void Stop();

  void ServerSocket1ClientConnect(TServerSocket& sender, TCustomWinSocket& socket);
  void ServerSocket1ClientDisconnect(TServerSocket& sender, TCustomWinSocket& socket);
  // What the device sends is never read: it stays in the connection's buffer.
  void ServerSocket1ClientRead(TServerSocket&, TCustomWinSocket&) {}

  // A refused device's connections are closed, their places freed.
  void DeviceRefused(std::uint32_t address) override { ServerSocket1.DisconnectPeer(address); }
  // The app's wire closed: its connections end, and new ones are refused.
  void BrowsersOnlyChanged(bool only) override {
    if (only) ServerSocket1.DisconnectAll();
  }
  // After sleep: a device that left, or whose network this PC left, is
  // connected no more.
  void WokeFromSleep() override;
  // Stops listening; the connections end with their events, so the icon and
  // the log tell that the devices are gone.
  void GiveUpPort();

  bool ShowBalloons = true;  // "Show connection balloons", remembered
  TBalloonLimiter Balloons;

 private:
  void ShowPresenceBalloon(bool connected, const std::string& address);
  void WatchForGone();

  TPresencePlatform platform_;
  service::IHostEvents& events_;
  const std::string& computer_name_;
  ShowBalloon show_balloon_;
  int gone_timer_ = 0;
};

}  // namespace presence
