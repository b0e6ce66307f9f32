// The connection help: why a device is served or not, in the user's words.
#include <gtest/gtest.h>

#include "help/connection_report.h"
#include "help/copy_text.h"
#include "help/firewall_check.h"
#include "help/help_service.h"
#include "tests/doubles/access_fixture.h"
#include "tests/doubles/fake_network_status.h"

namespace {

using platform::ConnectedNetwork;
using platform::FirewallRule;
using platform::NetworkProfile;
using platform::RuleProtocol;

constexpr char kProgram[] = "C:\\Program Files\\Mirovanta 2\\Mirovanta2.exe";
constexpr unsigned kPrivateAndDomain = 3;
constexpr unsigned kAll = 7;

// The two rules the setup adds, for the profiles chosen there.
std::vector<FirewallRule> SetupRules(unsigned profiles, bool udp_enabled = true) {
  return {{"Mirovanta 2 (UDP)", kProgram, RuleProtocol::Udp, "1565", true, udp_enabled, profiles},
          {"Mirovanta 2 (TCP)", kProgram, RuleProtocol::Tcp, "1565", true, true, profiles}};
}

// Built by a function: GCC 12 at -O3 warns of an aggregate table of adapters.
platform::Ipv4Interface Adapter(std::uint32_t address, std::uint32_t mask, bool up, bool tunnel,
                                std::uint32_t type, const char* description) {
  platform::Ipv4Interface adapter;
  adapter.address = address;
  adapter.netmask = mask;
  adapter.up = up;
  adapter.tunnel = tunnel;
  adapter.interface_type = type;
  adapter.description = description;
  return adapter;
}

help::NetworkFacts Facts(std::optional<std::vector<FirewallRule>> rules,
                         std::optional<bool> on = true) {
  help::NetworkFacts facts;
  facts.firewall_on = {on, on, on};
  facts.rules = std::move(rules);
  return facts;
}

TEST(ConnectionHelp, EachAdapterSaysWhetherItIsServedAndWhyNot) {
  struct Case {
    platform::Ipv4Interface adapter;
    std::string line;
  } cases[] = {
      {Adapter(0xC0A80114u, 0xFFFFFF00u, true, false, 71, "Wi-Fi"),
       "\"Wi-Fi\" 192.168.1.20/24: served: devices with an address in 192.168.1.0/24 may use "
       "Mirovanta 2."},
      {Adapter(0xC0A80114u, 0xFFFFFF00u, false, false, 6, "Ethernet"),
       "\"Ethernet\" 192.168.1.20/24: not served, because it is down."},
      {Adapter(0x0A080002u, 0xFFFFFF00u, true, false, 53, "WireGuard Tunnel"),
       "\"WireGuard Tunnel\" 10.8.0.2/24: not served, because it is a VPN or tunnel adapter (its "
       "network is at the far end of the tunnel)."},
      {Adapter(0x0A010203u, 0xFF000000u, true, false, 6, "Office"),
       "\"Office\" 10.1.2.3/8: served as 10.1.0.0/16 only: a wider network is narrowed to the /16 "
       "around this PC's address."},
      {Adapter(0x7F000001u, 0xFF000000u, true, false, 24, "Loopback"),
       "\"Loopback\" 127.0.0.1/8: this PC itself, always served."},
  };
  for (const Case& c : cases) EXPECT_EQ(help::AdapterLine(c.adapter), c.line);
}

TEST(ConnectionHelp, EachProfileAndFirewallStateGetsItsAdvice) {
  const ConnectedNetwork home{"Home", NetworkProfile::Private};
  const ConnectedNetwork cafe{"Caf\xC3\xA9", NetworkProfile::Public};
  std::vector<FirewallRule> blocked = SetupRules(kAll);
  blocked.push_back({"No games", "", RuleProtocol::Any, "1000-2000", false, true, 4});
  std::vector<FirewallRule> other_program = {
      {"Other (UDP)", "C:\\Other\\other.exe", RuleProtocol::Udp, "1565", true, true, kAll}};
  std::vector<FirewallRule> tcp_only = {SetupRules(kAll)[1]};
  std::vector<FirewallRule> any_program = {
      {"Port range", "", RuleProtocol::Any, "80, 1500-1600", true, true, kAll}};
  std::vector<FirewallRule> other_case = {{"Mine", "c:\\program files\\mirovanta 2\\MIROVANTA2.EXE",
                                           RuleProtocol::Any, "*", true, true, kAll}};
  struct Case {
    ConnectedNetwork network;
    help::NetworkFacts facts;
    std::string line;
  } cases[] = {
      {home, Facts(SetupRules(kPrivateAndDomain)),
       "The network \"Home\" is Private. Windows Firewall lets Mirovanta 2 in on UDP and TCP "
       "1565."},
      {cafe, Facts(SetupRules(kPrivateAndDomain)),
       "The network \"Caf\xC3\xA9\" is Public and the firewall rules of Mirovanta 2 cover Private "
       "and Domain networks only: make it Private in Settings, or run the setup again and choose "
       "Also allow on public networks."},
      {cafe, Facts(SetupRules(kAll)),
       "The network \"Caf\xC3\xA9\" is Public. Windows Firewall lets Mirovanta 2 in on UDP and TCP "
       "1565."},
      {cafe, Facts(SetupRules(kPrivateAndDomain), false),
       "The network \"Caf\xC3\xA9\" is Public. Windows Firewall is off for Public networks."},
      {home, Facts(SetupRules(kPrivateAndDomain, false)),
       "The network \"Home\" is Private. The firewall rule \"Mirovanta 2 (UDP)\" is turned off: "
       "turn it on in Windows Defender Firewall > Advanced settings > Inbound Rules, or run the "
       "setup again."},
      {cafe, Facts(blocked),
       "The network \"Caf\xC3\xA9\" is Public. The firewall rule \"No games\" blocks Mirovanta 2 "
       "on UDP and TCP 1565: turn it off in Windows Defender Firewall > Advanced settings > "
       "Inbound Rules."},
      {home, Facts(other_program),
       "The network \"Home\" is Private. Windows Firewall has no rule that lets Mirovanta 2 in on "
       "UDP and TCP 1565: run the setup again, or allow Mirovanta 2 in Windows Defender Firewall "
       "> Allow an app."},
      {home, Facts(tcp_only),
       "The network \"Home\" is Private. Windows Firewall has no rule that lets Mirovanta 2 in on "
       "UDP 1565: run the setup again, or allow Mirovanta 2 in Windows Defender Firewall > Allow "
       "an app."},
      {home, Facts(any_program),
       "The network \"Home\" is Private. Windows Firewall lets Mirovanta 2 in on UDP and TCP "
       "1565."},
      {home, Facts(other_case),
       "The network \"Home\" is Private. Windows Firewall lets Mirovanta 2 in on UDP and TCP "
       "1565."},
      {home, Facts(SetupRules(kAll), std::nullopt),
       "The network \"Home\" is Private. Whether Windows Firewall lets Mirovanta 2 in: unknown."},
      {home, Facts(std::nullopt),
       "The network \"Home\" is Private. Windows Firewall is on for Private networks; whether it "
       "lets Mirovanta 2 in: unknown."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(help::NetworkLine(c.network, c.facts, kProgram, 1565), c.line);
  }
}

TEST(ConnectionHelp, PortListsAreReadAsTheFirewallWritesThem) {
  struct Case {
    const char* ports;
    bool holds;
  } cases[] = {{"", true},          {"*", true},          {"1565", true},    {"1564", false},
               {"1500-1600", true}, {"1566-1600", false}, {"80,1565", true}, {"80, 1565 ", true},
               {"RPC", false},      {"15650", false},     {"-1565", false},  {"1565-", false}};
  for (const Case& c : cases) EXPECT_EQ(help::PortListed(c.ports, 1565), c.holds) << c.ports;
}

TEST(ConnectionHelp, AFarSenderIsToldTheSubnetItWouldNeed) {
  const platform::LocalTime now{2026, 12, 8, 21, 30, 5};
  const activity::HeardDevice far{0xC0A80705u, "", activity::Heard::Far, now};
  std::vector<platform::Ipv4Interface> adapters = {{0xC0A80114u, 0xFFFFFF00u}};
  EXPECT_EQ(help::DeviceLine(far, adapters, now),
            "21:30:05  192.168.7.5: not on this PC's network (it would need an address in "
            "192.168.1.0/24).");
  adapters.push_back({0x0A010203u, 0xFF000000u});
  adapters.push_back({0x0A080002u, 0xFFFFFF00u, true, true});  // a tunnel serves nothing
  EXPECT_EQ(help::DeviceLine(far, adapters, now),
            "21:30:05  192.168.7.5: not on this PC's network (it would need an address in "
            "192.168.1.0/24 or 10.1.0.0/16).");
  EXPECT_EQ(help::DeviceLine(far, {}, {2026, 12, 9, 8, 0, 0}),
            "2026-12-08 21:30:05  192.168.7.5: not on this PC's network (this PC serves no "
            "network now).");
}

TEST(RecentDevices, NewestFirstAtMostTwentyAndAHardwareAddressIsKept) {
  activity::TRecentDevices recent;
  for (std::uint32_t i = 1; i <= 25; ++i) recent.Note(i, "", activity::Heard::Served, {});
  recent.Note(7, "3c-22-fb-01-02-03", activity::Heard::Waiting, {});
  recent.Note(7, "", activity::Heard::Denied, {});
  recent.Note(10, "", activity::Heard::Served, {});
  recent.Note(7, "", activity::Heard::Paused, {});
  const auto newest = recent.Newest();
  ASSERT_EQ(newest.size(), activity::TRecentDevices::kShown);
  EXPECT_EQ(newest[0].address, 7u);
  EXPECT_EQ(newest[0].hardware, "3c-22-fb-01-02-03");
  EXPECT_EQ(newest[0].what, activity::Heard::Paused);
  EXPECT_EQ(newest[1].address, 10u);
  EXPECT_EQ(newest[2].address, 25u);
  // 1 to 5 fell out; 6 is the oldest still shown.
  EXPECT_EQ(newest.back().address, 6u);
}

TEST(ConnectionHelp, CopiedTextIsUtf16WithWindowsLineEnds) {
  EXPECT_EQ(help::ClipboardUnits("a\nb\n"), u"a\r\nb\r\n");
  EXPECT_EQ(help::ClipboardUnits("Caf\xC3\xA9 \xE2\x80\xA6 \xF0\x9F\x93\xB1"),
            u"Caf\u00E9 \u2026 \U0001F4F1");
  // A cut sequence, a stray follower and an overlong form: one U+FFFD per bad byte.
  EXPECT_EQ(help::ClipboardUnits("x\xE2\x80"), u"x\uFFFD\uFFFD");
  EXPECT_EQ(help::ClipboardUnits("\x80y"), u"\uFFFDy");
  EXPECT_EQ(help::ClipboardUnits("\xC0\xAF"), u"\uFFFD\uFFFD");
}

// The help capability over what the access capability heard, as the user
// opens the view from the tray.
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kPhone = 0xC0A80117u;  // 192.168.1.23
constexpr std::uint32_t kFar = 0xC0A80705u;    // 192.168.7.5
const Bytes kPlay = {0x15, 0x65, 0x01, 0x03, 0x20};

struct HelpFixture : doubles::AccessFixture {
  doubles::FakeNetworkStatus network_status;
  doubles::FakeClipboard clipboard;
  std::unique_ptr<help::THelpService> help;

  void Create() {
    doubles::AccessFixture::Create();
    help = std::make_unique<help::THelpService>(
        help::THelpPlatform{sockets, network_status, system, dialogs, timers, clipboard, shell},
        Activity().Recent, [this] {
          help::HostFacts host;
          host.computer_name = system.ComputerName(16);
          host.program = kProgram;
          host.udp_listening = services->listener.Active();
          return host;
        });
  }
  void Command(std::uint32_t from) { doubles::AccessFixture::Command(from, kPlay); }
  void OpenHelp() { help->Help1.OnClick(); }
  std::string Shown() { return dialogs.report ? dialogs.report->text : "(no window)"; }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ConnectionHelpView, ListsAFarSenderAndAWaitingDeviceAndCopiesWhatItShows) {
  HelpFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.Create();
  t.Command(kFar);
  t.Command(kPhone);  // asked about: waiting for the answer
  t.OpenHelp();
  ASSERT_TRUE(t.dialogs.report);
  EXPECT_EQ(t.dialogs.report->caption, "Mirovanta 2 Connection help");
  const std::string shown = t.Shown();
  EXPECT_EQ(shown.rfind("Mirovanta 2 Connection help\nThis PC: DESKTOP-ANN\n", 0), 0u) << shown;
  EXPECT_TRUE(Has(shown, "192.168.1.20/24: served")) << shown;
  EXPECT_TRUE(Has(shown, "UDP 1565 (commands and the app's search): listening.")) << shown;
  const auto phone = shown.find(
      "16:05:01  192.168.1.23 (3c-22-fb-01-02-03): waiting for your "
      "answer to the question on the screen.");
  const auto far = shown.find(
      "16:05:01  192.168.7.5: not on this PC's network (it would need an "
      "address in 192.168.1.0/24).");
  ASSERT_NE(phone, std::string::npos) << shown;
  ASSERT_NE(far, std::string::npos) << shown;
  EXPECT_LT(phone, far);  // newest first

  t.dialogs.Press("Copy");
  ASSERT_EQ(t.clipboard.data.size(), 1u);
  EXPECT_EQ(t.clipboard.data[0].format, "Unicode");
  const std::u16string copied = help::ClipboardUnits(shown);
  EXPECT_EQ(t.clipboard.data[0].bytes, std::string(reinterpret_cast<const char*>(copied.c_str()),
                                                   (copied.size() + 1) * sizeof(char16_t)));
  EXPECT_FALSE(t.clipboard.open);
}

// The approval keeps its answer so that commands do not read the neighbour
// table; the list of devices must not read it for them either.
TEST(ConnectionHelpView, AServedDeviceIsListedWithItsHardwareAddressWithoutATableReadPerCommand) {
  HelpFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.Create();
  t.Command(kPhone);
  t.dialogs.Answer(platform::PromptAnswer::Yes);
  const int reads = t.sockets.neighbour_reads;
  for (int i = 0; i < 50; ++i) {
    t.system.tick_ms += 100;  // 5 s of commands, 10 a second
    t.Command(kPhone);
  }
  EXPECT_LE(t.sockets.neighbour_reads, reads + 1) << "the approval's own look again, at most";
  t.OpenHelp();
  EXPECT_TRUE(Has(t.Shown(), "192.168.1.23 (3c-22-fb-01-02-03): served")) << t.Shown();
}

TEST(ConnectionHelpView, ASecondClickKeepsOneWindowAndAdapterChangesRefreshIt) {
  HelpFixture t;
  t.Create();
  t.OpenHelp();
  t.OpenHelp();
  EXPECT_EQ(t.dialogs.report_shown, 2);  // shown, then brought to the front
  EXPECT_EQ(t.timers.running.size(), 1u);
  const int reads = t.network_status.reads;
  t.system.local_now.second += 2;
  t.timers.TickAll();  // nothing changed: the firewall is not read again, the words stay
  EXPECT_EQ(t.network_status.reads, reads);
  EXPECT_EQ(t.dialogs.report_changes, 0);
  t.sockets.interfaces.push_back({0x0A080002u, 0xFFFFFF00u, true, false, 53, "WireGuard"});
  t.network_status.networks->push_back({"Office VPN", platform::NetworkProfile::Public});
  t.timers.TickAll();
  EXPECT_EQ(t.network_status.reads, reads + 1);
  EXPECT_TRUE(Has(t.Shown(), "\"WireGuard\" 10.8.0.2/24: not served")) << t.Shown();
  EXPECT_TRUE(Has(t.Shown(), "The network \"Office VPN\" is Public.")) << t.Shown();
  // Closed by the user: the refresh stops with it.
  t.dialogs.Press("Close");
  t.timers.TickAll();
  EXPECT_TRUE(t.timers.running.empty());
}

TEST(ConnectionHelpView, ARuleNamingTheProgramByAnEnvironmentReferenceCoversIt) {
  HelpFixture t;
  t.system.environment["ProgramFiles"] = "C:\\Program Files";
  t.network_status.rules = std::vector<FirewallRule>{{"Allowed in the firewall's window",
                                                      "%ProgramFiles%\\Mirovanta 2\\Mirovanta2.exe",
                                                      RuleProtocol::Any, "", true, true, kAll}};
  t.Create();
  t.OpenHelp();
  EXPECT_TRUE(Has(t.Shown(), "Windows Firewall lets Mirovanta 2 in on UDP and TCP 1565.\n"))
      << t.Shown();
}

TEST(ConnectionHelpView, TheViewAndItsRefreshGoWithTheHost) {
  HelpFixture t;
  t.Create();
  t.OpenHelp();
  t.help.reset();
  EXPECT_FALSE(t.dialogs.report);
  EXPECT_TRUE(t.timers.running.empty());
}

TEST(ConnectionHelpView, WhatTheSystemWillNotSayReadsUnknown) {
  HelpFixture t;
  t.network_status.networks.reset();
  t.Create();
  t.OpenHelp();
  t.network_status.rules = SetupRules(kPrivateAndDomain);
  t.network_status.firewall_on[NetworkProfile::Domain].reset();
  t.OpenHelp();
  EXPECT_TRUE(Has(t.Shown(),
                  "The networks this PC is connected to and their profiles: unknown.\n"
                  "On Private networks: Windows Firewall lets Mirovanta 2 in on UDP and TCP "
                  "1565.\n"
                  "On Public networks: The firewall rules of Mirovanta 2 cover Private and Domain "
                  "networks only: on a Public network, make it Private in Settings, or run the "
                  "setup again and choose Also allow on public networks.\n"
                  "On Domain networks: Whether Windows Firewall lets Mirovanta 2 in: unknown.\n"))
      << t.Shown();
  t.network_status.firewall_on[NetworkProfile::Domain] = true;
  t.network_status.networks =
      std::vector<platform::ConnectedNetwork>{{"Home", NetworkProfile::Private}};
  t.network_status.firewall_on[NetworkProfile::Private].reset();
  t.OpenHelp();
  EXPECT_TRUE(Has(t.Shown(),
                  "The network \"Home\" is Private. Whether Windows Firewall lets Mirovanta 2 "
                  "in: unknown.\n"))
      << t.Shown();
  EXPECT_TRUE(t.dialogs.confirmations.empty());
}

TEST(ConnectionHelpView, PausedAndDeniedDevicesAreListedSo) {
  HelpFixture t;
  t.Create();
  t.Access().Approval.ShowedItself(kPhone);
  t.Access().Approval.ShowedItself(0xC0A80118u);
  t.Command(kPhone);
  t.dialogs.Answer(platform::PromptAnswer::No);
  t.Command(kPhone);
  t.system.tick_ms += access_policy::TDeviceApproval::kBetweenQuestionsMs;
  t.Command(0xC0A80118u);
  t.dialogs.Answer(platform::PromptAnswer::Yes);
  t.Command(0xC0A80118u);
  t.OpenHelp();
  EXPECT_TRUE(Has(t.Shown(), "192.168.1.24: served.\n")) << t.Shown();
  EXPECT_TRUE(Has(t.Shown(), "192.168.1.23: denied (you chose Deny for it).\n")) << t.Shown();
  t.Access().SetPaused(true);
  t.Command(0xC0A80118u);
  t.OpenHelp();
  EXPECT_TRUE(Has(t.Shown(), "192.168.1.24: not served: remote control is paused.\n")) << t.Shown();
}

}  // namespace
