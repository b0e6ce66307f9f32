// The main form's datagram path: sender check, probe reply to the sender, and
// the start-up of its listener.
#include <gtest/gtest.h>

#include <thread>

#include "protocol/early_probe_answerer.h"
#include "protocol/socket_error.h"
#include "shell/form1.h"
#include "tests/doubles/nearby_over.h"
#include "tests/doubles/form_fixture.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

using FormUnderTest = doubles::FormFixture;

TEST(Form1Datagrams, ProbeIsAnsweredToItsOwnSourceAddressAndPort) {
  FormUnderTest t;
  t.Create();
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0x7F000001u, 50123});
  t.Drain();
  auto sent = t.sockets.Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (Bytes{0x15, 0x65, 0x81}));
  EXPECT_EQ(sent[0].peer.address, 0x7F000001u);
  EXPECT_EQ(sent[0].peer.port, 50123);
}

TEST(Form1Datagrams, SendersOffThisPCsSubnetsGetNoReply) {
  FormUnderTest t;
  t.sockets.interfaces = {{0xCB007114u, 0xFFFFFF00u}};  // 203.0.113.20/24
  t.Create();
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0x08080808u, 1565});  // 8.8.8.8
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0xCB007163u, 2000});  // 203.0.113.99, own subnet
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0xC0A80105u, 3000});  // 192.168.1.5: private, not here
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0x7F000001u, 4000});  // loopback
  t.Drain();
  auto sent = t.sockets.Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].peer.port, 2000);
  EXPECT_EQ(sent[1].peer.port, 4000);
}

TEST(Form1Datagrams, AFailingReplyEndsOnlyThatDatagram) {
  FormUnderTest t;
  t.Create();
  t.sockets.send_error = doubles::wsa::kConnectionRefused;
  t.sockets.Deliver({0x15, 0x65, 0x80});
  t.Drain();
  t.sockets.send_error = 0;
  t.sockets.Deliver({0x15, 0x65, 0x80});
  t.Drain();
  EXPECT_EQ(t.sockets.Sent().size(), 1u);
}

TEST(Form1Lifecycle, ListensOnPort1565AndMinimisesTheApplication) {
  FormUnderTest t;
  t.Create();
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  EXPECT_EQ(t.sockets.bound.port, 1565);
  EXPECT_EQ(t.sockets.bound.address, 0u) << "every local address";
  EXPECT_EQ(t.tcp.listened_port, 1565) << "the presence channel on the same port";
  EXPECT_EQ(t.tcp.listened_backlog, 5);
  EXPECT_EQ(t.application.calls, (std::vector<std::string>{"Minimize"}));
  t.application.events.OnActivate();
  EXPECT_EQ(t.application.calls.back(), "HideApplicationWindow");
  t.form.reset();
  EXPECT_EQ(t.sockets.open_sockets, 0);
}

TEST(Form1Lifecycle, TakesTheEarlySocketOverAndServesWhatWaitedInIt) {
  FormUnderTest t;
  protocol::TEarlyProbeAnswerer early(t.sockets, shell::TForm1::kPort,
                                      doubles::NearbyOver(t.sockets));
  early.Start();
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0x7F000001u, 4000});
  ASSERT_TRUE(t.sockets.WaitForSent(1, 10s)) << "answered before the form is there";
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0x0A000005u, 5000});  // far: left in line
  t.sockets.Deliver({0x15, 0x65, 0x80}, {0xC0A80105u, 6000});  // near, behind it
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (early.Reading() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_FALSE(early.Reading());
  t.Create(&early);
  t.Drain();
  const auto sent = t.sockets.Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].peer.port, 6000) << "served by the form's listener";
  EXPECT_EQ(t.sockets.binds, 1) << "one socket from the start to the end";
  EXPECT_EQ(t.sockets.open_sockets, 1);
  t.form.reset();
  EXPECT_EQ(t.sockets.open_sockets, 0);
}

TEST(Form1Lifecycle, PortTakenLeavesTheConstructorWithTheBindMessage) {
  FormUnderTest t;
  t.sockets.bind_error = doubles::wsa::kAddressInUse;
  try {
    t.Create();
    FAIL() << "constructed despite the port being taken";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), protocol::kAddressInUse);
  }
}

}  // namespace
