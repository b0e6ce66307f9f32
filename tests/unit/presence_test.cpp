// The presence channel's connection life cycle, over a stream server double.
#include <gtest/gtest.h>

#include "platform/framework_error.h"
#include "tests/doubles/form_fixture.h"

namespace {

using Strings = std::vector<std::string>;

Strings BalloonLines(doubles::FakeNotificationArea& tray) {
  Strings lines;
  for (const auto& call : tray.Balloons()) lines.push_back(call.title + " / " + call.text);
  return lines;
}

TEST(Presence, ListensOnPort1565WithBacklog5) {
  doubles::FormFixture t;
  t.Create();
  EXPECT_EQ(t.tcp.listened_port, 1565);
  EXPECT_EQ(t.tcp.listened_backlog, 5);
}

TEST(Presence, APortThatCannotBeHadEndsTheStartUpNamingTheCall) {
  doubles::FormFixture t;
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
  doubles::FormFixture t;
  t.system.computer_name = "DEN";
  t.Create();
  auto first = t.tcp.Connect(0xC0A8010Au);
  auto second = t.tcp.Connect(0xC0A8010Bu);
  EXPECT_EQ(t.tcp.received[first], "DEN");
  EXPECT_EQ(t.tcp.received[second], "DEN");
  t.tcp.Raise(second, platform::StreamEvent::Read, 0);  // data from the device: not read
  t.tcp.Raise(first, platform::StreamEvent::Close, 0);
  EXPECT_EQ(BalloonLines(t.tray), (Strings{"Device Connected / Device IP : 192.168.1.10",
                                           "Device Connected / Device IP : 192.168.1.11",
                                           "Device Disconnected / Device IP : 192.168.1.10"}));
  EXPECT_EQ(t.Form().Presence.ServerSocket1.ConnectionCount(), 1u);
  EXPECT_FALSE(t.tcp.open.count(first));
  EXPECT_TRUE(t.tcp.open.count(second));
}

TEST(Presence, AnEmptyComputerNameSendsNothingAtAll) {
  doubles::FormFixture t;
  t.system.computer_name = "";
  t.Create();
  t.tcp.Connect();
  EXPECT_EQ(t.tcp.sends, 0);
}

TEST(Presence, AResetIsADeviceThatLeftWithoutAnyBox) {
  doubles::FormFixture t;
  t.Create();
  auto device = t.tcp.Connect();
  t.tcp.Raise(device, platform::StreamEvent::Close, 10054);
  auto timed_out = t.tcp.Connect(0xC0A80120u);
  t.tcp.Raise(timed_out, platform::StreamEvent::Read, 10060);
  EXPECT_EQ(BalloonLines(t.tray).back(), "Device Disconnected / Device IP : 192.168.1.32");
  EXPECT_EQ(t.Form().Presence.ServerSocket1.ConnectionCount(), 0u);
  EXPECT_EQ(t.tcp.open.size(), 1u) << "only the listener is left";
  t.tcp.Raise(device, platform::StreamEvent::Close, 0);  // a late notification
  EXPECT_EQ(t.tray.Balloons().size(), 4u);
}

TEST(Presence, ASendThatFailsIsAConnectionThatBroke) {
  doubles::FormFixture t;
  t.Create();
  t.tcp.send_errors[t.tcp.next] = 10054;
  t.tcp.Connect();
  EXPECT_EQ(BalloonLines(t.tray).back(), "Device Disconnected / Device IP : 192.168.1.10");
  EXPECT_EQ(t.Form().Presence.ServerSocket1.ConnectionCount(), 0u);
  t.tcp.send_errors[t.tcp.next] = 10035;  // a full buffer: the name is dropped, the device stays
  t.tcp.Connect();
  EXPECT_EQ(t.Form().Presence.ServerSocket1.ConnectionCount(), 1u);
}

TEST(Presence, OneNotificationTakesEveryWaitingDeviceEvenAfterOneThatVanished) {
  doubles::FormFixture t;
  t.Create();
  t.tcp.ConnectMany(3, {10054, 10053});
  EXPECT_EQ(t.Form().Presence.ServerSocket1.ConnectionCount(), 3u);
  EXPECT_EQ(t.tray.Balloons().size(), 1u) << "three connections of one device: one balloon";
  t.tcp.ConnectMany(0, {10055});  // out of buffers: left to the next notification
  EXPECT_EQ(t.Form().Presence.ServerSocket1.ConnectionCount(), 3u);
}

TEST(Presence, ShutdownClosesEveryConnectionWithoutBalloons) {
  doubles::FormFixture t;
  t.Create();
  t.tcp.Connect();
  t.tcp.Connect();
  const std::size_t balloons = t.tray.Balloons().size();
  t.form.reset();
  EXPECT_EQ(t.tray.Balloons().size(), balloons);
  EXPECT_TRUE(t.tcp.open.empty());
}

// Without its address a connection cannot be shown to come from nearby.
TEST(Presence, ADeviceThatIsNoLongerConnectedIsClosedWithoutABalloon) {
  doubles::FormFixture t;
  t.Create();
  t.tcp.peer_errors[t.tcp.next] = 10057;
  auto gone = t.tcp.Connect();
  EXPECT_TRUE(t.tray.Balloons().empty());
  EXPECT_EQ(t.tcp.sends, 0);
  EXPECT_FALSE(t.tcp.open.count(gone));
}

}  // namespace
