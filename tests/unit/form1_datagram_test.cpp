// The main form's own: the datagram path from the listener to the access
// capability, the start-up of the listener, and the capabilities' events
// joined into one activity log.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
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

// Another program holds it: not another user's host, whose name would say so.
TEST(Form1Lifecycle, PortTakenLeavesTheConstructorWithTheBindMessage) {
  FormUnderTest t;
  t.sockets.bind_error = doubles::wsa::kAddressInUse;
  try {
    t.Create();
    FAIL() << "constructed despite the port being taken";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), protocol::kAddressInUse);
  }
  EXPECT_FALSE(t.sessions.held_here) << "the ports' name is not kept by a host that failed";
}

// --- The capabilities' events reach the log, as the form joins them ---

constexpr std::uint32_t kPhone = 0xC0A80117u;  // 192.168.1.23
constexpr std::uint32_t kFar = 0x08080808u;
const Bytes kPlay = {0x15, 0x65, 0x01, 0x03, 0x20};
const Bytes kTypeSecret = {0x15, 0x65, 0x02, 0x00, 's', 'e', 'c', 'r', 'e', 't'};
const Bytes kLaunchQuellin = {0x15, 0x65, 0x04, 0x02, 0x02};
const std::string kLog = "C:\\Users\\ann\\AppData\\Local\\Mirovanta 2\\activity.log";

struct ActivityFixture : doubles::FormFixture {
  void Command(std::uint32_t from, const Bytes& bytes) {
    sockets.Deliver(bytes, {from, 40000});
    Drain();
  }
  std::vector<std::string> Lines() { return LogLines(); }
  void Choose(const std::string& caption) {
    tray.choose_caption = caption;
    tray.RequestMenu();
  }
};

TEST(ActivityLogForm, TellsWhatADeviceDidAndOnlyTheLengthOfWhatItTyped) {
  ActivityFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.registry.SetString(platform::RootKey::LocalMachine,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                       "C:\\Program Files");
  t.system.files.insert("C:\\Program Files\\ZANTRIX\\QUELLIN\\QLN.exe");
  t.Create();
  auto phone = t.tcp.Connect(kPhone);
  t.dialogs.Answer(platform::PromptAnswer::Yes);
  t.Command(kPhone, kTypeSecret);
  t.Command(kPhone, kLaunchQuellin);
  t.tcp.Raise(phone, platform::StreamEvent::Close);
  const std::string phone_text = "192.168.1.23 (3c-22-fb-01-02-03)  ";
  EXPECT_EQ(t.Lines(), (std::vector<std::string>{
                           "-  Mirovanta 2 started",
                           phone_text + "connected",
                           phone_text + "asked whether it may control this PC",
                           phone_text + "allowed",
                           phone_text + "typed 6 characters",
                           phone_text + "started QUELLIN",
                           phone_text + "disconnected",
                       }));
  EXPECT_EQ(t.files.Text(kLog).find("secret"), std::string::npos);
}

TEST(ActivityLogForm, AFarFloodMakesOneLineAndStartAndStopAreThere) {
  ActivityFixture t;
  t.Create();
  for (int i = 0; i < 300; ++i) t.sockets.Deliver(kPlay, {kFar, 40000});
  t.Drain();
  t.form->Activity.Log.Flush();
  t.form.reset();
  std::istringstream text(t.files.Text(kLog));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line.substr(21));
  EXPECT_EQ(lines, (std::vector<std::string>{"-  Mirovanta 2 started\r",
                                             "8.8.8.8  refused: not on this PC's network\r",
                                             "-  Mirovanta 2 stopped\r"}));
}

TEST(ActivityLogForm, AnAnswerTheFirstMomentsCouldNotSendIsLoggedOnceTheLogIsThere) {
  ActivityFixture t;
  protocol::TEarlyProbeAnswerer early(t.sockets, shell::TForm1::kPort,
                                      doubles::NearbyOver(t.sockets));
  early.Start();
  t.sockets.send_error = doubles::wsa::kConnectionRefused;
  t.sockets.Deliver({0x15, 0x65, 0x80}, {kPhone, 40000});
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (early.Answered() == 0 && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  t.sockets.send_error = 0;
  t.Create(&early);
  const auto lines = t.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "192.168.1.23  the answer to its search could not be sent"),
            lines.end())
      << ::testing::PrintToString(lines);
}

TEST(ConnectionBalloons, TheQuestionAboutANewDeviceIsNeverMuted) {
  ActivityFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.Create();
  t.Choose("Show connection balloons");
  t.Command(kPhone, kPlay);
  EXPECT_EQ(t.dialogs.open.size(), 1u);
}

// The presence capability follows the access capability's refusals.
TEST(Form1Lifecycle, ADeviceDeniedWhileConnectedLosesItsConnection) {
  FormUnderTest t;
  t.Create();
  const auto phone = t.tcp.Connect(kPhone);  // a new device connecting is asked about
  ASSERT_EQ(t.dialogs.open.size(), 1u);
  ASSERT_TRUE(t.tcp.open.count(phone));
  t.dialogs.Answer(platform::PromptAnswer::No);
  EXPECT_FALSE(t.tcp.open.count(phone));
  EXPECT_EQ(t.form->Presence.ServerSocket1.ConnectionCount(), 0u);
}

}  // namespace
