// The probe answerer of the first moments, and the command listener taking
// its socket over: nothing that waits in the socket is lost or answered twice.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "protocol/early_probe_answerer.h"
#include "protocol/socket_error.h"
#include "protocol/udp_server.h"
#include "tests/doubles/nearby_over.h"
#include "tests/doubles/fake_sockets.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using protocol::TEarlyProbeAnswerer;

const Bytes kProbe{0x15, 0x65, 0x80};
const Bytes kProbeReply{0x15, 0x65, 0x81};
const Bytes kCommand{0x15, 0x65, 0x01, 0x00, 0x0D, 0x00, 0x00, 0x00};
constexpr std::uint16_t kPort = 1565;
constexpr platform::Ipv4Endpoint kLoopbackPeer{0x7F000001u, 50123};
constexpr platform::Ipv4Endpoint kNearPeer{0xC0A80105u, 40000};  // 192.168.1.5
constexpr platform::Ipv4Endpoint kFarPeer{0x0A000005u, 40000};   // 10.0.0.5

template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds deadline = 10s) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

struct EarlyListener : ::testing::Test {
  doubles::FakeSockets sockets;
  EarlyListener() { sockets.interfaces = {{0xC0A80114u, 0xFFFFFF00u}}; }  // 192.168.1.20/24
};

// The command listener as the form sets it up: probes answered on its
// thread, every datagram's size recorded in the order received.
struct Listener {
  explicit Listener(doubles::FakeSockets& sockets) : server(sockets, [] {}) {
    server.DefaultPort = kPort;
    server.OnListenerRead = [this](protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                   std::size_t size) {
      std::lock_guard lock(mutex);
      received.push_back(size);
      if (size == kProbe.size() && data[2] == kProbe[2]) {
        server.SendFrom(binding, {binding.PeerAddress, binding.PeerPort}, kProbeReply.data(),
                        kProbeReply.size());
      }
      return false;
    };
  }
  std::vector<std::size_t> Received() {
    std::lock_guard lock(mutex);
    return received;
  }
  protocol::TIdUDPServer server;
  std::mutex mutex;
  std::vector<std::size_t> received;
};

TEST_F(EarlyListener, AnswersANearbyProbeBeforeTheListenerIsThere) {
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  EXPECT_EQ(sockets.bound.port, kPort);
  EXPECT_EQ(sockets.bound.address, 0u) << "every local address, as the listener binds";
  sockets.Deliver(kProbe, kLoopbackPeer);
  sockets.Deliver(kProbe, kNearPeer);
  ASSERT_TRUE(sockets.WaitForSent(2, 10s));
  const auto sent = sockets.Sent();
  EXPECT_EQ(sent[0].bytes, kProbeReply);
  EXPECT_EQ(sent[0].peer.port, kLoopbackPeer.port);
  EXPECT_EQ(sent[1].peer.address, kNearPeer.address);
  EXPECT_TRUE(early.Reading());
  EXPECT_TRUE(WaitUntil([&] { return early.Answered() == 2; }));
}

TEST_F(EarlyListener, LeavesACommandInLineForTheListenerWhichReceivesItFirst) {
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  sockets.Deliver(kCommand, kNearPeer);
  sockets.Deliver(kProbe, kNearPeer);
  ASSERT_TRUE(WaitUntil([&] { return !early.Reading(); })) << "stops at what it leaves";
  EXPECT_TRUE(sockets.Sent().empty()) << "the probe behind the command waits its turn";

  Listener listener(sockets);
  listener.server.Adopt(early.Take(), early.Port());
  listener.server.SetActive(true);
  ASSERT_TRUE(sockets.WaitForSent(1, 10s));
  ASSERT_TRUE(WaitUntil([&] { return listener.Received().size() == 2; }));
  EXPECT_EQ(listener.Received(), (std::vector<std::size_t>{kCommand.size(), kProbe.size()}));
  EXPECT_EQ(sockets.Sent().size(), 1u) << "answered once, by the listener";
  EXPECT_EQ(sockets.binds, 1) << "the listener took the bound socket over";
  EXPECT_EQ(sockets.open_sockets, 1);
  listener.server.SetActive(false);
  EXPECT_EQ(sockets.open_sockets, 0);
}

TEST_F(EarlyListener, LeavesAFarSendersProbeToTheListenerWhichHasTheLog) {
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  sockets.Deliver(kProbe, kFarPeer);
  ASSERT_TRUE(WaitUntil([&] { return !early.Reading(); }));
  EXPECT_TRUE(sockets.Sent().empty());
  EXPECT_FALSE(sockets.WaitUntilReceivedAll(0ms)) << "still in line";
}

TEST_F(EarlyListener, APortTakenIsLeftToTheListenerToReportAtItsPlace) {
  sockets.bind_error = doubles::wsa::kAddressInUse;
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  EXPECT_FALSE(early.Reading());
  EXPECT_EQ(sockets.open_sockets, 0);
  EXPECT_EQ(sockets.cleanups, sockets.startups) << "the socket library is given back";

  protocol::TIdUDPServer server(sockets, [] {});
  server.DefaultPort = kPort;
  server.Adopt(early.Take(), early.Port());
  try {
    server.SetActive(true);
    FAIL() << "activated on a taken port";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), protocol::kAddressInUse);
  }
}

TEST_F(EarlyListener, StoppedItClosesTheSocketAndAnswersNoMore) {
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  sockets.Deliver(kProbe, kLoopbackPeer);
  ASSERT_TRUE(sockets.WaitForSent(1, 10s));
  early.Stop();
  EXPECT_FALSE(early.Reading());
  EXPECT_EQ(sockets.open_sockets, 0);
  EXPECT_EQ(sockets.cleanups, sockets.startups);
  EXPECT_FALSE(early.Take()) << "nothing left to hand over";
}

TEST_F(EarlyListener, ARepliesFailureIsKeptForTheLog) {
  sockets.send_error = doubles::wsa::kConnectionRefused;
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  for (int i = 0; i < 12; ++i) sockets.Deliver(kProbe, kNearPeer);
  ASSERT_TRUE(WaitUntil([&] { return early.Answered() == 12; }));
  const auto unsent = early.Unsent();
  EXPECT_EQ(unsent.size(), TEarlyProbeAnswerer::kUnsentKept) << "bounded";
  EXPECT_EQ(unsent.front(), kNearPeer.address);
}

TEST_F(EarlyListener, ASocketForAnotherPortIsClosedBeforeTheListenerBinds) {
  TEarlyProbeAnswerer early(sockets, kPort, doubles::NearbyOver(sockets));
  early.Start();
  protocol::TIdUDPServer server(sockets, [] {});
  server.DefaultPort = kPort + 1;
  server.Adopt(early.Take(), early.Port());
  server.SetActive(true);
  EXPECT_EQ(sockets.bound.port, kPort + 1);
  EXPECT_EQ(sockets.binds, 2);
  EXPECT_EQ(sockets.open_sockets, 1) << "the early socket was closed";
  server.SetActive(false);
}

}  // namespace
