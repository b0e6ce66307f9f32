// The presence capability: the connections' life cycle, the balloons and their
// bounds, over a stream server double.
#include <gtest/gtest.h>

#include "platform/framework_error.h"
#include "tests/doubles/presence_fixture.h"

namespace {

using Strings = std::vector<std::string>;

TEST(Presence, APortThatCannotBeHadEndsTheStartUpNamingTheCall) {
  doubles::PresenceFixture t;
  t.tcp.listen_error = 10048;
  t.tcp.listen_api = "bind";
  try {
    t.Create();
    FAIL() << "started without its TCP port";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), "Windows socket error: error text 10048 (10048), on API 'bind'");
  }
}

TEST(Presence, TwoDevicesEachGetABalloonAndTheNameAndOneLeaves) {
  doubles::PresenceFixture t;
  t.computer_name = "DEN";
  t.Create();
  auto first = t.tcp.Connect(0xC0A8010Au);
  auto second = t.tcp.Connect(0xC0A8010Bu);
  EXPECT_EQ(t.tcp.received[first], "DEN");
  EXPECT_EQ(t.tcp.received[second], "DEN");
  t.tcp.Raise(second, platform::StreamEvent::Read, 0);  // data from the device: not read
  t.tcp.Raise(first, platform::StreamEvent::Close, 0);
  EXPECT_EQ(t.balloons, (Strings{"Device Connected / Device IP : 192.168.1.10",
                                 "Device Connected / Device IP : 192.168.1.11",
                                 "Device Disconnected / Device IP : 192.168.1.10"}));
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 1u);
  EXPECT_FALSE(t.tcp.open.count(first));
  EXPECT_TRUE(t.tcp.open.count(second));
}

TEST(Presence, AnEmptyComputerNameSendsNothingAtAll) {
  doubles::PresenceFixture t;
  t.computer_name = "";
  t.Create();
  t.tcp.Connect();
  EXPECT_EQ(t.tcp.sends, 0);
}

TEST(Presence, AResetIsADeviceThatLeftWithoutAnyBox) {
  doubles::PresenceFixture t;
  t.Create();
  auto device = t.tcp.Connect();
  t.tcp.Raise(device, platform::StreamEvent::Close, 10054);
  auto timed_out = t.tcp.Connect(0xC0A80120u);
  t.tcp.Raise(timed_out, platform::StreamEvent::Read, 10060);
  EXPECT_EQ(t.balloons.back(), "Device Disconnected / Device IP : 192.168.1.32");
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 0u);
  EXPECT_EQ(t.tcp.open.size(), 1u) << "only the listener is left";
  t.tcp.Raise(device, platform::StreamEvent::Close, 0);  // a late notification
  EXPECT_EQ(t.balloons.size(), 4u);
}

TEST(Presence, ASendThatFailsIsAConnectionThatBroke) {
  doubles::PresenceFixture t;
  t.Create();
  t.tcp.send_errors[t.tcp.next] = 10054;
  t.tcp.Connect();
  EXPECT_EQ(t.balloons.back(), "Device Disconnected / Device IP : 192.168.1.10");
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 0u);
  t.tcp.send_errors[t.tcp.next] = 10035;  // a full buffer: the name is dropped, the device stays
  t.tcp.Connect();
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 1u);
}

TEST(Presence, OneNotificationTakesEveryWaitingDeviceEvenAfterOneThatVanished) {
  doubles::PresenceFixture t;
  t.Create();
  t.tcp.ConnectMany(3, {10054, 10053});
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 3u);
  EXPECT_EQ(t.balloons.size(), 1u) << "three connections of one device: one balloon";
  t.tcp.ConnectMany(0, {10055});  // out of buffers: left to the next notification
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 3u);
}

TEST(Presence, ShutdownClosesEveryConnectionWithoutBalloons) {
  doubles::PresenceFixture t;
  t.Create();
  t.tcp.Connect();
  t.tcp.Connect();
  const std::size_t balloons = t.balloons.size();
  t.presence.reset();
  EXPECT_EQ(t.balloons.size(), balloons);
  EXPECT_TRUE(t.tcp.open.empty());
}

// Without its address a connection cannot be shown to come from nearby.
TEST(Presence, ADeviceThatIsNoLongerConnectedIsClosedWithoutABalloon) {
  doubles::PresenceFixture t;
  // The access rule refuses a peer whose address is not known.
  t.accept = [](std::uint32_t peer) { return peer != 0; };
  t.Create();
  t.tcp.peer_errors[t.tcp.next] = 10057;
  auto gone = t.tcp.Connect();
  EXPECT_TRUE(t.balloons.empty());
  EXPECT_EQ(t.tcp.sends, 0);
  EXPECT_FALSE(t.tcp.open.count(gone));
}

constexpr std::uint32_t kPhone = 0xC0A80117u;   // 192.168.1.23
constexpr std::uint32_t kTablet = 0xC0A80118u;  // 192.168.1.24
constexpr std::uint32_t kFar = 0x08080808u;

TEST(PresenceBounds, AFarConnectionIsClosedWithoutNameOrBalloon) {
  doubles::PresenceFixture t;
  t.accept = [](std::uint32_t peer) { return peer != kFar; };
  t.Create();
  auto far = t.tcp.Connect(kFar);
  EXPECT_FALSE(t.tcp.open.count(far));
  EXPECT_EQ(t.tcp.sends, 0);
  EXPECT_TRUE(t.balloons.empty());
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 0u);
}

TEST(PresenceBounds, AtMostSixteenConnectionsAreOpen) {
  doubles::PresenceFixture t;
  t.Create();
  std::vector<platform::SocketHandle> sockets;
  for (std::uint32_t i = 0; i < 20; ++i) sockets.push_back(t.tcp.Connect(0xC0A80140u + i));
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 16u);
  EXPECT_EQ(t.tcp.sends, 16);
  EXPECT_EQ(t.balloons.size(), 4u) << "at most four connect balloons in ten seconds";
  for (std::size_t i = 16; i < 20; ++i) EXPECT_FALSE(t.tcp.open.count(sockets[i]));
  t.tcp.Raise(sockets[0], platform::StreamEvent::Close);
  t.tcp.Connect(0xC0A80160u);
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 16u) << "a place that came free is taken";
}

TEST(PresenceBounds, DevicesThatLeftBeforeTheirNotificationFreeTheirPlaces) {
  doubles::PresenceFixture t;
  t.Create();
  std::vector<platform::SocketHandle> sockets;
  for (std::uint32_t i = 0; i < 16; ++i) sockets.push_back(t.tcp.Connect(0xC0A80140u + i));
  t.tcp.gone = {sockets[3], sockets[9]};  // closed by their devices, not yet reported
  auto next = t.tcp.Connect(0xC0A80160u);
  EXPECT_TRUE(t.tcp.open.count(next));
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 15u);
  EXPECT_FALSE(t.tcp.open.count(sockets[3]));
  EXPECT_FALSE(t.tcp.open.count(sockets[9]));
  t.tcp.Raise(sockets[3], platform::StreamEvent::Close);  // the late notification
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 15u);
}

TEST(PresenceBounds, AStormShowsOneBalloonOfEachKindPerAddressInTenSeconds) {
  doubles::PresenceFixture t;
  t.Create();
  for (int i = 0; i < 1000; ++i) {
    auto device = t.tcp.Connect(kPhone);
    t.tcp.Raise(device, platform::StreamEvent::Close);
    t.system.tick_ms += 5;  // five seconds in all
  }
  EXPECT_EQ(t.balloons.size(), 2u);
  t.system.tick_ms += 10000;
  auto device = t.tcp.Connect(kPhone);
  t.tcp.Raise(device, platform::StreamEvent::Close);
  EXPECT_EQ(t.balloons.size(), 4u) << "ten quiet seconds later: both again";
  t.tcp.Connect(kTablet);
  EXPECT_EQ(t.balloons.size(), 5u) << "another device has its own";
}

TEST(PresenceBounds, OneAddressHoldsAtMostFourConnectionsAndOthersStillGetIn) {
  doubles::PresenceFixture t;
  t.Create();
  std::vector<platform::SocketHandle> phone;
  for (int i = 0; i < 20; ++i) phone.push_back(t.tcp.Connect(kPhone));
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 4u);
  EXPECT_EQ(t.tcp.sends, 4);
  auto tablet = t.tcp.Connect(kTablet);
  EXPECT_TRUE(t.tcp.open.count(tablet));
  EXPECT_EQ(t.tcp.received[tablet], "DESKTOP-ANN") << "a second device still gets the name";
}

TEST(PresenceBounds, AtMostFourConnectBalloonsInTenSecondsInAll) {
  doubles::PresenceFixture t;
  t.Create();
  t.tcp.Connect(0xC0A80140u);
  t.tcp.Connect(0xC0A80141u);
  EXPECT_EQ(t.balloons.size(), 2u) << "two devices connecting together show two";
  for (std::uint32_t i = 2; i < 8; ++i) t.tcp.Connect(0xC0A80140u + i);
  EXPECT_EQ(t.balloons.size(), 4u);
  t.system.tick_ms += 10000;
  t.tcp.Connect(0xC0A80150u);
  EXPECT_EQ(t.balloons.size(), 5u) << "ten seconds later there is room again";
}

TEST(Presence, BalloonsTurnedOffAreNotShownButTheEventsStillComeAndItIsRemembered) {
  doubles::PresenceFixture t;
  t.Create();
  EXPECT_TRUE(t.Presence().Balloons1.Checked) << "on by default";
  t.Presence().Balloons1.OnClick();
  EXPECT_FALSE(t.Presence().Balloons1.Checked);
  t.tcp.Connect(kPhone);
  EXPECT_TRUE(t.balloons.empty());
  EXPECT_EQ(t.events.connected, (std::vector<service::Origin>{service::Origin::App(kPhone)}))
      << "the log still tells";
  t.presence.reset();
  t.Create();
  EXPECT_FALSE(t.Presence().Balloons1.Checked);
  t.Presence().Balloons1.OnClick();
  t.tcp.Connect(kTablet);
  EXPECT_EQ(t.balloons.size(), 1u);
}

// A reset can end a connection without a close notification: while devices
// are connected a timer looks for those gone, and none runs at idle.
TEST(Presence, ADeviceGoneWithoutANotificationIsDisconnectedAtTheNextTick) {
  doubles::PresenceFixture t;
  t.Create();
  EXPECT_TRUE(t.timers.running.empty());
  const auto device = t.tcp.Connect(kPhone);
  const auto other = t.tcp.Connect(kTablet);
  ASSERT_EQ(t.timers.running.size(), 1u);
  t.tcp.gone.insert(device);
  t.timers.TickAll();
  EXPECT_EQ(t.tcp.open.count(device), 0u) << "its socket is freed";
  EXPECT_EQ(t.events.disconnected, (std::vector<service::Origin>{service::Origin::App(kPhone)}));
  EXPECT_EQ(t.timers.running.size(), 1u) << "the other is still connected";
  t.tcp.gone.insert(other);
  t.timers.TickAll();
  EXPECT_TRUE(t.timers.running.empty());
  EXPECT_EQ(t.events.disconnected, (std::vector<service::Origin>{service::Origin::App(kPhone),
                                                                 service::Origin::App(kTablet)}));
}

// A device that sent bytes and then closed: its read notification is the
// last it raises, and finds the close behind the bytes.
TEST(Presence, ADeviceThatSentBytesAndClosedIsFoundGoneAtItsReadNotification) {
  doubles::PresenceFixture t;
  t.Create();
  const auto device = t.tcp.Connect(kPhone);
  t.tcp.Raise(device, platform::StreamEvent::Read, 0);
  EXPECT_TRUE(t.tcp.open.count(device)) << "bytes alone end nothing";
  t.tcp.gone.insert(device);
  t.tcp.Raise(device, platform::StreamEvent::Read, 0);
  EXPECT_FALSE(t.tcp.open.count(device));
  EXPECT_EQ(t.events.disconnected, (std::vector<service::Origin>{service::Origin::App(kPhone)}));
}

TEST(PresenceBounds, AtMostFourDisconnectBalloonsInTenSecondsInAll) {
  doubles::PresenceFixture t;
  t.Create();
  std::vector<platform::SocketHandle> devices;
  for (std::uint32_t i = 0; i < 8; ++i) {
    devices.push_back(t.tcp.Connect(0xC0A80140u + i));
    if (i == 3) t.system.tick_ms += 10000;  // room for four more connect balloons
  }
  ASSERT_EQ(t.balloons.size(), 8u);
  for (auto device : devices) t.tcp.Raise(device, platform::StreamEvent::Close);
  EXPECT_EQ(t.balloons.size(), 12u) << "eight devices leaving together show four";
  EXPECT_EQ(t.events.disconnected.size(), 8u) << "the log still tells of each";
}

// Four addresses x four connections would hold every place for good after
// being denied: a refused device's connections go.
TEST(PresenceBounds, ARefusedDevicesConnectionsAreClosedAndTheirPlacesFreed) {
  doubles::PresenceFixture t;
  t.Create();
  std::vector<platform::SocketHandle> phone;
  for (int i = 0; i < 4; ++i) phone.push_back(t.tcp.Connect(kPhone));
  const auto tablet = t.tcp.Connect(kTablet);
  t.Presence().DeviceRefused(kPhone);
  for (auto connection : phone) EXPECT_FALSE(t.tcp.open.count(connection));
  EXPECT_TRUE(t.tcp.open.count(tablet));
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 1u);
  EXPECT_EQ(t.events.disconnected.size(), 4u);
}

TEST(PresenceBounds, OnlyPairedBrowsersEndsEveryConnectionWithItsEvent) {
  doubles::PresenceFixture t;
  t.Create();
  const auto phone = t.tcp.Connect(kPhone);
  const auto tablet = t.tcp.Connect(kTablet);
  t.Presence().BrowsersOnlyChanged(false);
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 2u) << "turned off: nothing ends";
  t.Presence().BrowsersOnlyChanged(true);
  EXPECT_FALSE(t.tcp.open.count(phone));
  EXPECT_FALSE(t.tcp.open.count(tablet));
  EXPECT_EQ(t.Presence().ServerSocket1.ConnectionCount(), 0u);
  EXPECT_EQ(t.events.disconnected.size(), 2u);
}

}  // namespace
