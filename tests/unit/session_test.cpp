// Sleep, the lock screen and the users of the PC, through the main form over
// the doubles: the system's reports come as the session window would pass
// them on, another session's host is played by the PC-wide name.
#include <gtest/gtest.h>

#include "service/datagram_command.h"

#include <sstream>

#include "platform/framework_error.h"
#include "shell/form1.h"
#include "tests/doubles/form_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::SessionChange;
using service::Serving;

constexpr std::uint32_t kPhone = 0xC0A80117u;     // 192.168.1.23
constexpr std::uint32_t kOtherNet = 0x0A000217u;  // 10.0.2.23, on a network joined in sleep
const Bytes kProbe = {0x15, 0x65, 0x80};
const Bytes kPlay = {0x15, 0x65, 0x01, 0x03, 0x20};           // a key of a media page
const Bytes kMove = {0x15, 0x65, 0x03, 0x01, 0x05, 0x05};     // the pointer
const Bytes kType = {0x15, 0x65, 0x02, 0x00, 'h', 'i'};       // text
const Bytes kLaunchQuellin = {0x15, 0x65, 0x04, 0x02, 0x02};  // a utility
const std::string kOtherUserTip = "Mirovanta 2 of another user of this PC answers the remote";

struct SessionFixture : doubles::FormFixture {
  SessionFixture() {
    sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
    registry.SetString(platform::RootKey::LocalMachine,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                       "C:\\Program Files");
    system.files.insert("C:\\Program Files\\ZANTRIX\\QUELLIN\\QLN.exe");
  }
  void Command(std::uint32_t from, const Bytes& bytes) {
    sockets.Deliver(bytes, {from, 40000});
    Drain();
  }
  // The phone connects and the user allows it.
  platform::SocketHandle AllowPhone() {
    const platform::SocketHandle connection = tcp.Connect(kPhone);
    dialogs.Answer(platform::PromptAnswer::Yes);
    return connection;
  }
  bool Answered(std::uint32_t to) {
    for (const doubles::Datagram& sent : sockets.Sent()) {
      if (sent.peer.address == to) return true;
    }
    return false;
  }
  std::vector<std::string> Lines() { return LogLines(); }
  bool Logged(const std::string& words) {
    for (const std::string& line : Lines()) {
      if (line.find(words) != std::string::npos) return true;
    }
    return false;
  }
  void Report(SessionChange change) { sessions.Report(change); }
  // The connection help's words, as its window shows them now.
  std::string HelpWords() {
    form->Help.Help1Click();
    return dialogs.report ? dialogs.report->text : "";
  }
};

// --- After sleep ---

TEST(Resume, ANetworkJoinedInSleepIsServedAtOnceAndTheLogSaysSo) {
  SessionFixture t;
  t.Create();
  t.Command(kOtherNet, kProbe);  // read the adapters: not this PC's network yet
  ASSERT_FALSE(t.Answered(kOtherNet));
  t.sockets.interfaces.push_back({0x0A000214u, 0xFFFFFF00u});  // 10.0.2.20/24, no report
  t.sockets.host_addresses.push_back(0x0A000214u);
  t.Report(SessionChange::Resumed);
  t.Command(kOtherNet, kProbe);
  EXPECT_TRUE(t.Answered(kOtherNet)) << "served without waiting for the next read";
  EXPECT_TRUE(t.Logged("resumed from sleep"));
  EXPECT_NE(t.form->IP1.Caption.find("10.0.2.20"), std::string::npos)
      << "the menu's addresses row is read again";
}

TEST(Resume, AListenerThatStillReceivesIsLeftOpen) {
  SessionFixture t;
  t.Create();
  const int binds = t.sockets.binds;
  t.Report(SessionChange::Resumed);
  t.Drain();
  t.timers.TickAll();
  EXPECT_EQ(t.sockets.binds, binds);
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  EXPECT_TRUE(t.timers.running.empty() || t.form->Session.State() == Serving::Here);
}

TEST(Resume, AListenerThatNoLongerReceivesIsOpenedAgainAndServes) {
  SessionFixture t;
  t.Create();
  const int binds = t.sockets.binds;
  t.sockets.loopback_filtered = true;  // what it sends itself never arrives
  t.Report(SessionChange::Resumed);
  t.Drain();
  t.timers.TickAll();
  t.sockets.loopback_filtered = false;
  EXPECT_EQ(t.sockets.binds, binds + 1) << "closed and bound again";
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  EXPECT_TRUE(t.form->Presence.ServerSocket1.Active());
  t.Command(kPhone, kProbe);
  EXPECT_TRUE(t.Answered(kPhone));
}

TEST(Resume, TheIconLostBySleepIsPutBackAsItWas) {
  SessionFixture t;
  t.Create();
  t.form->Access.SetPaused(true);
  t.tray.icon_gone = true;
  t.tray.calls.clear();
  t.Report(SessionChange::Resumed);
  ASSERT_FALSE(t.tray.calls.empty());
  EXPECT_EQ(t.tray.calls.back().action, doubles::FakeNotificationArea::Action::Add);
  EXPECT_EQ(t.tray.calls.back().state, platform::TrayIconState::Paused);
}

TEST(Resume, ADeviceThatLeftOrWhoseNetworkWentIsConnectedNoMore) {
  SessionFixture t;
  t.sockets.interfaces.push_back({0x0A000214u, 0xFFFFFF00u});
  t.Create();
  const auto phone_gone = t.AllowPhone();
  const auto other = t.tcp.Connect(kOtherNet);
  const auto phone_stays = t.tcp.Connect(kPhone);
  ASSERT_EQ(t.form->Presence.ServerSocket1.ConnectionCount(), 3u);
  t.sockets.interfaces.pop_back();  // the PC left 10.0.2.0/24 in its sleep
  t.tcp.gone.insert(phone_gone);    // and the phone's first connection ended unreported
  t.Report(SessionChange::Resumed);
  EXPECT_EQ(t.form->Presence.ServerSocket1.ConnectionCount(), 1u);
  EXPECT_TRUE(t.tcp.open.count(phone_stays));
  EXPECT_FALSE(t.tcp.open.count(other));
  EXPECT_TRUE(t.Logged("10.0.2.23  disconnected"));
}

// --- The lock screen ---

TEST(LockScreen, InputIsDroppedWhileLockedAndLaunchingGoesOn) {
  SessionFixture t;
  t.Create();
  t.AllowPhone();
  t.Report(SessionChange::Locked);
  for (const Bytes& input : {kPlay, kMove, kType}) t.Command(kPhone, input);
  EXPECT_TRUE(t.input.calls.empty());
  EXPECT_TRUE(t.clipboard.data.empty());
  t.Command(kPhone, kLaunchQuellin);
  EXPECT_TRUE(t.Logged("started QUELLIN"));
  EXPECT_TRUE(t.Logged("dropped: this PC is locked"));
  EXPECT_NE(t.HelpWords().find(help::kLockedWords), std::string::npos);

  t.Report(SessionChange::Unlocked);
  t.Command(kPhone, kPlay);
  EXPECT_FALSE(t.input.calls.empty()) << "unlocking resumes at once";
  EXPECT_EQ(t.HelpWords().find(help::kLockedWords), std::string::npos);
}

TEST(LockScreen, ANewDeviceIsNotAskedAboutBehindTheLockScreen) {
  SessionFixture t;
  t.Create();
  t.Report(SessionChange::Locked);
  t.tcp.Connect(kPhone);
  t.Command(kPhone, kPlay);
  EXPECT_TRUE(t.dialogs.open.empty());
  t.Report(SessionChange::Unlocked);
  t.Command(kPhone, kPlay);
  EXPECT_FALSE(t.dialogs.open.empty()) << "asked at its first command after the unlock";
}

TEST(LockScreen, AHostStartedBehindTheLockScreenKnowsItIsLocked) {
  SessionFixture t;
  t.sessions.locked = true;
  t.Create();
  t.Command(kPhone, kPlay);
  EXPECT_TRUE(t.input.calls.empty()) << "no key behind a lock screen it was never told of";
  EXPECT_TRUE(t.dialogs.open.empty()) << "nobody there to answer a question";
  EXPECT_NE(t.HelpWords().find("This PC is locked"), std::string::npos);
  t.Report(SessionChange::Unlocked);
  t.Command(kPhone, kPlay);
  EXPECT_FALSE(t.dialogs.open.empty()) << "asked once the lock screen is gone";
}

// --- Another user of the PC ---

TEST(OtherUser, HostFindingThePortsHeldByAnotherSessionWaitsWithoutAnErrorAndTakesThem) {
  SessionFixture t;
  t.sessions.held_elsewhere = true;
  t.sockets.bind_error = doubles::wsa::kAddressInUse;  // what a bind would meet
  ASSERT_NO_THROW(t.Create());
  EXPECT_FALSE(t.form->IdUDPServer1.Active());
  EXPECT_FALSE(t.form->Presence.ServerSocket1.Active());
  EXPECT_EQ(t.tray.LastLook().tip, kOtherUserTip);
  EXPECT_NE(t.HelpWords().find(kOtherUserTip), std::string::npos);
  EXPECT_TRUE(t.dialogs.open.empty()) << "no error box for a port the other host holds";
  EXPECT_FALSE(t.Logged("held by another program"));

  t.timers.TickAll();  // still held
  EXPECT_FALSE(t.form->IdUDPServer1.Active());
  t.sessions.held_elsewhere = false;  // the other host gave them up
  t.sockets.bind_error = 0;
  t.timers.TickAll();
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  EXPECT_TRUE(t.form->Presence.ServerSocket1.Active());
  EXPECT_TRUE(t.sessions.held_here);
  EXPECT_EQ(t.tray.LastLook().tip, "Mirovanta 2");
  EXPECT_TRUE(t.Logged("Mirovanta 2 answers the remote"));
}

TEST(OtherUser, LeavingTheScreenGivesThePortsUpAndComingBackTakesThem) {
  SessionFixture t;
  t.Create();
  t.AllowPhone();
  ASSERT_TRUE(t.sessions.held_here);
  t.Report(SessionChange::ConsoleDisconnected);
  EXPECT_FALSE(t.form->IdUDPServer1.Active());
  EXPECT_FALSE(t.form->Presence.ServerSocket1.Active());
  EXPECT_FALSE(t.sessions.held_here) << "the name goes with the ports";
  EXPECT_TRUE(t.Logged("192.168.1.23 (3c-22-fb-01-02-03)  disconnected"))
      << "the connections end as the devices' ends, not silently";
  EXPECT_TRUE(t.Logged("the remote's ports are given up"));
  t.timers.TickAll();
  EXPECT_FALSE(t.form->IdUDPServer1.Active()) << "not taken back while away from the screen";

  t.Report(SessionChange::ConsoleConnected);
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  t.Command(kPhone, kProbe);
  EXPECT_TRUE(t.Answered(kPhone));
}

TEST(OtherUser, ComingToTheScreenBeforeTheOtherHostLetGoTakesThePortsWhenItDoes) {
  SessionFixture t;
  t.sessions.at_console = false;
  t.Create();
  EXPECT_FALSE(t.form->IdUDPServer1.Active());
  t.sessions.held_elsewhere = true;
  t.sockets.bind_error = doubles::wsa::kAddressInUse;
  t.Report(SessionChange::ConsoleConnected);
  EXPECT_EQ(t.tray.LastLook().tip, kOtherUserTip);
  t.sessions.held_elsewhere = false;
  t.sockets.bind_error = 0;
  t.timers.TickAll();
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  EXPECT_FALSE(t.Logged("held by another program"));
}

TEST(OtherUser, ANameAnotherProgramMadeOverFreePortsDoesNotSilenceTheHost) {
  SessionFixture t;
  t.sessions.held_elsewhere = true;  // made by some program, whose ports bind
  t.Create();
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  EXPECT_TRUE(t.form->Presence.ServerSocket1.Active());
  EXPECT_EQ(t.tray.LastLook().tip, "Mirovanta 2");
  EXPECT_TRUE(t.Logged("the name of the remote's ports is held by another program"));
  t.Command(kPhone, kProbe);
  EXPECT_TRUE(t.Answered(kPhone));
  EXPECT_TRUE(t.timers.running.empty() || t.form->Session.State() == Serving::Here);

  // Leaving the screen and coming back: the same again, told again.
  t.Report(SessionChange::ConsoleDisconnected);
  EXPECT_FALSE(t.form->IdUDPServer1.Active());
  t.Report(SessionChange::ConsoleConnected);
  EXPECT_TRUE(t.form->IdUDPServer1.Active());
  int told = 0;
  for (const std::string& line : t.Lines()) {
    told += line.find("held by another program") != std::string::npos;
  }
  EXPECT_EQ(told, 2);
}

TEST(OtherUser, APortAnotherProgramTookWhileAwayIsToldInTheLogAndTheTip) {
  SessionFixture t;
  t.Create();
  t.Report(SessionChange::ConsoleDisconnected);
  t.sockets.bind_error = doubles::wsa::kAddressInUse;
  t.Report(SessionChange::ConsoleConnected);
  EXPECT_EQ(t.form->Session.State(), Serving::Failed);
  EXPECT_FALSE(t.sessions.held_here);
  EXPECT_TRUE(t.Logged("the remote's port could not be taken"));
  EXPECT_NE(t.tray.LastLook().tip.find("port is taken"), std::string::npos);
  EXPECT_TRUE(t.timers.running.empty() || t.form->Session.State() == Serving::Failed);
}

}  // namespace

namespace {

// --- Which commands send input: each group's owner tells ---

TEST(LockScreen, EachCommandSaysWhetherItSendsInput) {
  doubles::FormFixture t;
  t.Create();
  struct Case {
    Bytes datagram;
    bool sends_input;
    const char* what;
  };
  const Case cases[] = {
      {kPlay, true, "a media page's key"},
      {{0x15, 0x65, 0x01, 0x01, 0x02}, true, "page 1's launch is a key chord"},
      {{0x15, 0x65, 0x01, 0x03, 0x02}, false, "a player started"},
      {{0x15, 0x65, 0x01, 0x03, 0xFF}, false, "a player closed"},
      {{0x15, 0x65, 0x01, 0x03, 0xFD}, false, "the laser started"},
      {{0x15, 0x65, 0x01, 0x09, 0x20}, false, "a page that does not exist"},
      {kType, true, "text"},
      {kMove, true, "the pointer"},
      {kLaunchQuellin, false, "a utility"},
      {{0x15, 0x65, 0x07, 0x01, 0x01}, false, "a group nobody owns"},
      {{0x15, 0x66, 0x02, 0x00, 'x'}, false, "another header"},
      {{0x15, 0x65, 0x02, 0x00}, false, "too short to be a command"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        t.form->Commands.SendsInput(service::DecodeDatagram(c.datagram.data(), c.datagram.size())),
        c.sends_input)
        << c.what;
  }
}

// --- The ports' order of hand-over, on its own ---

struct PortsRecord {
  doubles::FakeSessions sessions;
  doubles::FakeTimers timers;
  std::vector<std::string> steps;
  bool take_fails = false;
  std::function<void()> actions_hook;  // runs after a take that worked
  session::TConsolePorts ports{
      sessions,
      timers,
      {[this] {
         steps.push_back(sessions.held_here ? "take, name held" : "take without the name");
         if (take_fails) throw platform::EFrameworkError("taken");
         if (actions_hook) actions_hook();
       },
       [this] {
         steps.push_back(sessions.held_here ? "give up, name held" : "give up without the name");
       }},
      [this](Serving serving) {
        steps.push_back("now " + std::to_string(static_cast<int>(serving)));
      }};
};

TEST(ConsolePorts, TheNameIsHeldBeforeTheTakeAndLetGoAfterTheGivingUp) {
  PortsRecord r;
  r.ports.Start();
  r.ports.ConsoleDisconnected();
  EXPECT_EQ(r.steps,
            (std::vector<std::string>{"take, name held", "now 0", "give up, name held", "now 2"}));
  EXPECT_FALSE(r.sessions.held_here);
}

TEST(ConsolePorts, AFailedStartUpTakeGivesBackWhatItOpenedAndTheNameAndRaises) {
  PortsRecord r;
  r.take_fails = true;
  EXPECT_THROW(r.ports.Start(), platform::EFrameworkError);
  EXPECT_EQ(r.steps, (std::vector<std::string>{"take, name held", "give up, name held"}));
  EXPECT_FALSE(r.sessions.held_here);
  EXPECT_TRUE(r.timers.running.empty()) << "nothing is retried after the error box";
}

TEST(ConsolePorts, WithTheNameHeldElsewhereABindThatFailsIsWaitedOutAndOneThatWorksServes) {
  PortsRecord r;
  r.sessions.held_elsewhere = true;
  r.take_fails = true;  // another session's host has the ports
  ASSERT_NO_THROW(r.ports.Start());
  EXPECT_EQ(r.steps, (std::vector<std::string>{"take without the name", "give up without the name",
                                               "now 1"}));
  EXPECT_EQ(r.timers.running.size(), 1u);
  // That host gives its ports up, and its name an instant later.
  r.take_fails = false;
  r.sessions.held_elsewhere = false;
  r.timers.TickAll();
  EXPECT_EQ(r.ports.State(), Serving::Here);
  EXPECT_TRUE(r.sessions.held_here);
  EXPECT_FALSE(r.ports.NameHeldByAnotherProgram());
}

TEST(ConsolePorts, PortsTakenWithoutTheNameAskForItAgainAfterTheBind) {
  PortsRecord r;
  r.sessions.held_elsewhere = true;
  r.actions_hook = [&r] { r.sessions.held_elsewhere = false; };  // the other host let go
  r.ports.Start();
  EXPECT_EQ(r.ports.State(), Serving::Here);
  EXPECT_TRUE(r.sessions.held_here) << "the name is had once its holder let go";
  EXPECT_FALSE(r.ports.NameHeldByAnotherProgram()) << "a hand-over, not a squatter";
  r.ports.ConsoleDisconnected();
  EXPECT_FALSE(r.sessions.held_here);
}

TEST(ConsolePorts, AHostAwayFromTheScreenNeitherTakesNorRetries) {
  PortsRecord r;
  r.sessions.at_console = false;
  r.ports.Start();
  EXPECT_EQ(r.steps, (std::vector<std::string>{"now 2"}));
  EXPECT_TRUE(r.timers.running.empty());
  r.sessions.held_elsewhere = true;
  r.take_fails = true;
  r.ports.ConsoleConnected();
  EXPECT_EQ(r.ports.State(), Serving::OtherUser);
  EXPECT_EQ(r.timers.running.size(), 1u) << "looks every second whether they were given up";
  r.ports.ConsoleDisconnected();
  EXPECT_TRUE(r.timers.running.empty());
}

}  // namespace
