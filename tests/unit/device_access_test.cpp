// Who may drive this PC: the approval of new devices, the allow-list and
// pause, on their own and through the access capability.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "access/allow_list.h"
#include "access/device_approval.h"
#include "access/neighbour_book.h"
#include "tests/doubles/access_fixture.h"

namespace {

using access_policy::ApprovalAnswer;
using access_policy::ApprovalDecision;
using platform::PromptAnswer;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kPhone = 0xC0A80117u;   // 192.168.1.23, on the PC's subnet
constexpr std::uint32_t kTablet = 0xC0A80118u;  // 192.168.1.24
constexpr std::uint32_t kFar = 0x08080808u;
constexpr std::uint32_t kLoopback = 0x7F000001u;
const Bytes kPlay = {0x15, 0x65, 0x01, 0x03, 0x20};  // page 3, play: one key
const Bytes kProbe = {0x15, 0x65, 0x80};

// --- The approval state machine on its own ---

using Approval = access_policy::TDeviceApproval;

struct ApprovalFixture {
  doubles::FakeRegistry registry;
  access_policy::TAllowList list{registry};
  std::map<std::uint32_t, std::string> neighbours;
  std::uint64_t now = 1000000;
  access_policy::TDeviceApproval approval{
      list, [this](std::uint32_t a) { return neighbours.count(a) ? neighbours[a] : ""; },
      [this] { return now; }, [] { return platform::LocalTime{2026, 12, 9, 14, 5, 3}; }};

  // The phone and the tablet connected to the presence port: they are asked
  // about without a neighbour entry.
  ApprovalFixture() {
    approval.ShowedItself(kPhone);
    approval.ShowedItself(kTablet);
  }
  // The answer, and the next question once it is due.
  std::optional<std::uint32_t> Next(ApprovalAnswer answer) {
    approval.Answer(answer);
    now += Approval::kBetweenQuestionsMs;
    return approval.TakeNext();
  }
};

// A device the neighbour table knows, numbered.
std::string Hardware(std::uint32_t i) {
  char text[18];
  std::snprintf(text, sizeof text, "02-00-%02x-%02x-%02x-%02x", (i >> 24) & 0xFF, (i >> 16) & 0xFF,
                (i >> 8) & 0xFF, i & 0xFF);
  return text;
}

TEST(Approval, ANewDeviceIsAskedAboutOnceAndDroppedUntilTheAnswer) {
  ApprovalFixture t;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::Drop) << "asked already";
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::Drop) << "waits for its turn";
  EXPECT_EQ(t.Next(ApprovalAnswer::Allow), kTablet) << "then it is asked about";
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::CarryOut);
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::Drop);
  EXPECT_EQ(t.Next(ApprovalAnswer::Allow), std::nullopt);
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::CarryOut);
}

TEST(Approval, EveryAnswerButAllowIgnoresTheDeviceUntilRestart) {
  for (ApprovalAnswer answer :
       {ApprovalAnswer::Deny, ApprovalAnswer::Closed, ApprovalAnswer::TimedOut}) {
    ApprovalFixture t;
    ASSERT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
    t.approval.Answer(answer);
    t.now += 3600 * 1000;
    EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::Drop) << static_cast<int>(answer);
    EXPECT_TRUE(t.approval.Refused(kPhone));
    EXPECT_TRUE(t.list.Devices().empty());
    ApprovalFixture restarted;  // a new run of the host asks again
    EXPECT_EQ(restarted.approval.Decide(kPhone), ApprovalDecision::AskUser);
  }
}

TEST(Approval, LoopbackAndAskingOffAreNeverAsked) {
  ApprovalFixture t;
  EXPECT_EQ(t.approval.Decide(kLoopback), ApprovalDecision::CarryOut);
  EXPECT_EQ(t.approval.Decide(0x7F0000FEu), ApprovalDecision::CarryOut);
  t.approval.Ask = false;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::CarryOut);
}

TEST(Approval, ADeviceIsKeptByItsHardwareAddressSoANewIpAddressStaysAllowed) {
  ApprovalFixture t;
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  EXPECT_EQ(t.registry.StringAt(platform::RootKey::CurrentUser, access_policy::kDevicesKey,
                                "3c-22-fb-01-02-03"),
            "192.168.1.23");
  t.neighbours.erase(kPhone);
  t.neighbours[kTablet] = "3c-22-fb-01-02-03";  // the phone came back with another address
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::CarryOut);
  EXPECT_EQ(t.approval.DeviceText(kTablet), "192.168.1.24 (3c-22-fb-01-02-03)");
}

TEST(Approval, WithoutAHardwareAddressTheIpAddressIsTheKey) {
  ApprovalFixture t;
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  EXPECT_EQ(t.list.Devices(), (std::vector<std::string>{"192.168.1.23"}));
  EXPECT_EQ(t.approval.DeviceText(kPhone), "192.168.1.23");
}

TEST(Approval, AForgottenDeviceIsAskedAboutAgain) {
  ApprovalFixture t;
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  ASSERT_EQ(t.approval.Decide(kPhone), ApprovalDecision::CarryOut);
  t.approval.Forget("192.168.1.23");
  t.now += Approval::kBetweenQuestionsMs;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
  EXPECT_FALSE(t.registry.StringAt(platform::RootKey::CurrentUser, access_policy::kDevicesKey,
                                   "192.168.1.23"));
}

TEST(Approval, AnotherDeviceTakingAnAllowedAddressIsAskedAboutOnceTheCheckIsDue) {
  ApprovalFixture t;
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  t.neighbours[kPhone] = "aa-aa-aa-aa-aa-aa";  // the address went to a stranger
  t.now += access_policy::TDeviceApproval::kRecheckAfterMs;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
}

// --- One question at a time ---

TEST(ApprovalLine, OneIsAskedFourWaitAndTheRestAreAskedAtALaterCommand) {
  ApprovalFixture t;
  constexpr std::uint32_t kFirst = 0xC0A80200u;
  std::vector<ApprovalDecision> decisions;
  for (std::uint32_t i = 0; i < 40; ++i) {
    t.neighbours[kFirst + i] = Hardware(i);
    decisions.push_back(t.approval.Decide(kFirst + i));
  }
  EXPECT_EQ(std::count(decisions.begin(), decisions.end(), ApprovalDecision::AskUser), 1);
  EXPECT_EQ(decisions[0], ApprovalDecision::AskUser);
  EXPECT_EQ(t.approval.Waiting(), 4u);
  // Each answer brings the next in line, in the order they came.
  std::vector<std::optional<std::uint32_t>> asked;
  for (int i = 0; i < 5; ++i) asked.push_back(t.Next(ApprovalAnswer::Deny));
  EXPECT_EQ(asked, (std::vector<std::optional<std::uint32_t>>{kFirst + 1, kFirst + 2, kFirst + 3,
                                                              kFirst + 4, std::nullopt}));
  EXPECT_FALSE(t.approval.Asking());
  // A device that found no room was not refused: its next command asks.
  EXPECT_EQ(t.approval.Decide(kFirst + 39), ApprovalDecision::AskUser);
  EXPECT_EQ(t.approval.Decide(kFirst + 3), ApprovalDecision::Drop) << "denied while waiting";
}

TEST(ApprovalLine, AWaitingDeviceSettledByTheAnswerBeforeItIsNotAskedAgain) {
  ApprovalFixture t;
  t.approval.Decide(kPhone);  // asked under its IPv4 address: not yet a neighbour
  t.neighbours[kTablet] = "3c-22-fb-01-02-03";
  t.approval.Decide(kTablet);  // the same phone from its other address, waiting
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";
  EXPECT_EQ(t.Next(ApprovalAnswer::Allow), std::nullopt);
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::CarryOut);
}

// Anyone can send from a made-up address; only a device the neighbour table
// knows, or one that completed a connection, can make the host ask.
TEST(ApprovalProof, OnlyADeviceThatShowedItselfIsAsked) {
  const struct {
    bool in_neighbour_table;
    bool connected;
    ApprovalDecision decision;
  } cases[] = {
      {false, false, ApprovalDecision::NotAsked},
      {true, false, ApprovalDecision::AskUser},
      {false, true, ApprovalDecision::AskUser},
      {true, true, ApprovalDecision::AskUser},
  };
  constexpr std::uint32_t kStranger = 0xC0A80140u;
  for (const auto& c : cases) {
    ApprovalFixture t;
    if (c.in_neighbour_table) t.neighbours[kStranger] = "3c-22-fb-01-02-03";
    if (c.connected) t.approval.ShowedItself(kStranger);
    EXPECT_EQ(t.approval.Decide(kStranger), c.decision) << c.in_neighbour_table << c.connected;
    EXPECT_EQ(t.approval.Waiting(), 0u);
  }
}

// A question never follows an answer within 2 s, nor another question within
// 5 s; the devices meanwhile wait in the line.
TEST(ApprovalTiming, TheNextQuestionWaitsForBothTheAnswerAndTheRate) {
  const struct {
    std::uint64_t answer_after;  // the first question's answer, after it opened
    std::uint64_t next_after;    // the second question, after the first opened
  } cases[] = {
      {100, Approval::kBetweenQuestionsMs},
      {Approval::kBetweenQuestionsMs - 1000, Approval::kBetweenQuestionsMs + 1000},
      {60000, 60000 + Approval::kAfterAnswerMs},
  };
  for (const auto& c : cases) {
    ApprovalFixture t;
    const std::uint64_t opened = t.now;
    ASSERT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
    EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::Drop);
    EXPECT_EQ(t.approval.NextQuestionInMs(), std::nullopt) << "a question is open";
    t.now = opened + c.answer_after;
    t.approval.Answer(ApprovalAnswer::Allow);
    EXPECT_EQ(t.approval.NextQuestionInMs(), opened + c.next_after - t.now);
    t.now = opened + c.next_after - 1;
    EXPECT_EQ(t.approval.TakeNext(), std::nullopt) << c.answer_after;
    t.now += 1;
    EXPECT_EQ(t.approval.TakeNext(), kTablet) << c.answer_after;
  }
  // A new device after the answer waits in the line as well.
  ApprovalFixture t;
  t.approval.Decide(kPhone);
  t.now += 10000;
  t.approval.Answer(ApprovalAnswer::Deny);
  t.now += Approval::kAfterAnswerMs - 1;
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::Drop);
  t.now += 1;
  EXPECT_EQ(t.approval.TakeNext(), kTablet);
}

TEST(ApprovalTiming, AQuestionSoonAfterAnAnswerSaysItIsAnotherDevice) {
  ApprovalFixture t;
  for (std::uint32_t i = 0; i < 3; ++i) {
    t.neighbours[0xC0A80150u + i] = Hardware(i);
    t.approval.Decide(0xC0A80150u + i);
  }
  ASSERT_TRUE(t.approval.Asked());
  EXPECT_EQ(t.approval.Asked()->number, 1u);
  EXPECT_EQ(t.approval.Asked()->first_sent.second, 3);
  ASSERT_TRUE(t.Next(ApprovalAnswer::Deny));
  EXPECT_EQ(t.approval.Asked()->number, 2u);
  EXPECT_EQ(t.approval.Asked()->of, 3u);
  t.approval.Answer(ApprovalAnswer::Deny);
  t.now += Approval::kRunOfQuestionsMs;
  EXPECT_EQ(t.approval.TakeNext(), 0xC0A80152u);
  EXPECT_EQ(t.approval.Asked()->number, 1u) << "long after the last answer: a question as any";
}

TEST(ApprovalLine, DenyAllWaitingRefusesTheAskedAndTheWaiting) {
  ApprovalFixture t;
  for (std::uint32_t i = 0; i < 4; ++i) {
    t.neighbours[0xC0A80150u + i] = Hardware(i);
    t.approval.Decide(0xC0A80150u + i);
  }
  const std::vector<std::uint32_t> refused = t.approval.Answer(ApprovalAnswer::DenyAllWaiting);
  EXPECT_EQ(refused,
            (std::vector<std::uint32_t>{0xC0A80150u, 0xC0A80151u, 0xC0A80152u, 0xC0A80153u}));
  EXPECT_EQ(t.approval.Waiting(), 0u);
  for (std::uint32_t address : refused) EXPECT_TRUE(t.approval.Refused(address));
  EXPECT_TRUE(t.list.Devices().empty());
  t.now += Approval::kBetweenQuestionsMs;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser) << "a new device is asked";
}

TEST(ApprovalLine, StoppedAskingAdmitsNobodyAndAsksAgainAfterTenMinutes) {
  ApprovalFixture t;
  t.approval.Decide(kPhone);
  t.approval.Decide(kTablet);
  t.approval.StopAsking();
  EXPECT_FALSE(t.approval.Asking());
  EXPECT_EQ(t.approval.Waiting(), 0u);
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskingStopped);
  EXPECT_FALSE(t.approval.Refused(kPhone)) << "neither allowed nor denied";
  t.now += Approval::kStopAskingMs - 1;
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::AskingStopped);
  t.now += 1;
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::AskUser);
  t.approval.StopAsking();
  t.approval.ResumeAsking();
  t.now += Approval::kBetweenQuestionsMs;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
}

// --- Decisions follow the device, not the address ---

TEST(ApprovalByDevice, ADeniedDeviceIsIgnoredAtItsNewAddressAndNotAskedAgain) {
  ApprovalFixture t;
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Deny);
  t.neighbours.erase(kPhone);
  t.neighbours[kTablet] = "3c-22-fb-01-02-03";
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::Drop);
  EXPECT_FALSE(t.approval.Asking());
  EXPECT_TRUE(t.approval.Refused(kTablet));
  EXPECT_FALSE(t.approval.Refused(kPhone)) << "its old address is free for another device";
}

TEST(ApprovalByDevice, AnAllowedDeviceIsServedOnAnAddressRefusedForAnotherOne) {
  ApprovalFixture t;
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.neighbours[kTablet] = "aa-bb-cc-00-11-22";
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  t.now += Approval::kBetweenQuestionsMs;
  t.approval.Decide(kTablet);
  t.approval.Answer(ApprovalAnswer::Deny);
  // The tablet leaves; the phone gets the tablet's old address.
  t.neighbours.erase(kPhone);
  t.neighbours[kTablet] = "3c-22-fb-01-02-03";
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::CarryOut);
  EXPECT_FALSE(t.approval.Refused(kTablet));
}

TEST(ApprovalByDevice, AnEntryUnderTheIpv4AddressMovesToTheHardwareAddressWithoutAsking) {
  ApprovalFixture t;
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  ASSERT_EQ(t.list.Devices(), (std::vector<std::string>{"192.168.1.23"}));
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";  // the neighbour table learnt it
  t.now += access_policy::TDeviceApproval::kRecheckAfterMs;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::CarryOut);
  EXPECT_FALSE(t.approval.Asking());
  EXPECT_EQ(t.list.Devices(), (std::vector<std::string>{"3c-22-fb-01-02-03"}));
  EXPECT_EQ(t.registry.StringAt(platform::RootKey::CurrentUser, access_policy::kDevicesKey,
                                "3c-22-fb-01-02-03"),
            "192.168.1.23");
  EXPECT_FALSE(t.registry.StringAt(platform::RootKey::CurrentUser, access_policy::kDevicesKey,
                                   "192.168.1.23"));
  // It stays allowed when it moves.
  t.neighbours.erase(kPhone);
  t.neighbours[kTablet] = "3c-22-fb-01-02-03";
  EXPECT_EQ(t.approval.Decide(kTablet), ApprovalDecision::CarryOut);
}

// An allow kept under an IPv4 address goes with the first hardware address
// seen there; another device that gets the address later is asked about.
TEST(ApprovalByDevice, AnAllowUnderTheIpv4AddressBindsToTheFirstHardwareAddressSeen) {
  ApprovalFixture t;
  t.approval.Decide(kPhone);
  t.approval.Answer(ApprovalAnswer::Allow);
  t.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.now += Approval::kRecheckAfterMs;
  ASSERT_EQ(t.approval.Decide(kPhone), ApprovalDecision::CarryOut);
  t.neighbours[kPhone] = "66-66-66-66-66-66";
  t.now += Approval::kRecheckAfterMs;
  EXPECT_EQ(t.approval.Decide(kPhone), ApprovalDecision::AskUser);
  EXPECT_EQ(t.list.Devices(), (std::vector<std::string>{"3c-22-fb-01-02-03"}));
}

TEST(ApprovalByDevice, AnAnswerIsKeptUnderTheHardwareAddressLearntWhileTheQuestionWasOpen) {
  for (ApprovalAnswer answer : {ApprovalAnswer::Allow, ApprovalAnswer::Deny}) {
    ApprovalFixture t;
    t.approval.Decide(kPhone);
    t.neighbours[kPhone] = "3c-22-fb-01-02-03";
    t.approval.Answer(answer);
    t.neighbours.erase(kPhone);
    t.neighbours[kTablet] = "3c-22-fb-01-02-03";
    EXPECT_EQ(t.approval.Decide(kTablet), answer == ApprovalAnswer::Allow
                                              ? ApprovalDecision::CarryOut
                                              : ApprovalDecision::Drop);
    EXPECT_FALSE(t.approval.Asking());
  }
}

// --- What a flood of addresses can make the host remember ---

TEST(ApprovalBounds, RefusalsAreForgottenOldestFirstPastTheirBound) {
  ApprovalFixture t;
  constexpr std::uint32_t kFirst = 0x0A000001u;
  const std::uint32_t total = access_policy::TDeviceApproval::kRememberedRefusals + 10;
  for (std::uint32_t i = 0; i < total; ++i) {
    t.neighbours[kFirst + i] = Hardware(i);
    ASSERT_EQ(t.approval.Decide(kFirst + i), ApprovalDecision::AskUser);
    t.approval.Answer(ApprovalAnswer::Deny);
    t.now += Approval::kBetweenQuestionsMs;
  }
  // Each was kept under its hardware address and its IPv4 address.
  EXPECT_EQ(t.approval.RefusalsKept(), access_policy::TDeviceApproval::kRememberedRefusals);
  EXPECT_FALSE(t.approval.Refused(kFirst)) << "the oldest went first";
  EXPECT_TRUE(t.approval.Refused(kFirst + 10));
  EXPECT_TRUE(t.approval.Refused(kFirst + total - 1));
}

TEST(ApprovalBounds, AFloodOfNewAddressesKeepsOnlyTheLine) {
  for (bool known : {false, true}) {
    ApprovalFixture t;
    for (std::uint32_t i = 0; i < 100000; ++i) {
      if (known) t.neighbours[0x0A000001u + i] = Hardware(i);
      t.approval.Decide(0x0A000001u + i);
    }
    EXPECT_EQ(t.approval.Asking(), known);
    EXPECT_EQ(t.approval.Waiting(), known ? 4u : 0u) << "made-up addresses wait for nothing";
    EXPECT_EQ(t.approval.RefusalsKept(), 0u);
  }
}

TEST(ForgettingSet, HoldsItsCapacityAndForgetsInTheOrderAdded) {
  access_policy::TForgettingSet<int> set(3);
  for (int v : {1, 2, 1, 3, 4}) set.Insert(v);  // 1 again changes nothing
  EXPECT_EQ(set.Size(), 3u);
  EXPECT_FALSE(set.Contains(1));
  EXPECT_TRUE(set.Contains(2));
  EXPECT_TRUE(set.Contains(4));
}

// --- The neighbour table, read when due ---

struct BookFixture {
  std::vector<platform::Neighbour> table = {{kPhone, "3c-22-fb-01-02-03"}};
  int reads = 0;
  std::uint64_t now = 1000;
  access_policy::TNeighbourBook book{[this] {
                                       ++reads;
                                       return table;
                                     },
                                     [this] { return now; }};
};

TEST(NeighbourBook, AnswersFromItsCopyUntilItIsDue) {
  BookFixture t;
  EXPECT_EQ(t.book.HardwareAddress(kPhone), "3c-22-fb-01-02-03");
  t.table = {{kPhone, "aa-aa-aa-aa-aa-aa"}};  // the address went to another device
  t.now += access_policy::TNeighbourBook::kFreshForMs - 1;
  EXPECT_EQ(t.book.HardwareAddress(kPhone), "3c-22-fb-01-02-03");
  EXPECT_EQ(t.reads, 1);
  t.now += 1;
  EXPECT_EQ(t.book.HardwareAddress(kPhone), "aa-aa-aa-aa-aa-aa");
  EXPECT_EQ(t.reads, 2);
}

TEST(NeighbourBook, LoopbackNeverReadsTheTable) {
  BookFixture t;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(t.book.HardwareAddress(0x7F000001u), "");
    t.now += access_policy::TNeighbourBook::kFreshForMs;
  }
  EXPECT_EQ(t.reads, 0);
}

TEST(NeighbourBook, AnAddressNotInTheCopyIsLookedForAgainButNotPerDatagram) {
  BookFixture t;
  t.book.HardwareAddress(kPhone);
  t.table.push_back({kTablet, "aa-bb-cc-00-11-22"});  // a device that just joined
  t.now += access_policy::TNeighbourBook::kMissRereadAfterMs;
  EXPECT_EQ(t.book.HardwareAddress(kTablet), "aa-bb-cc-00-11-22");
  EXPECT_EQ(t.reads, 2);
  for (std::uint32_t i = 0; i < 10000; ++i) t.book.HardwareAddress(0x0A000001u + i);
  EXPECT_EQ(t.reads, 2) << "unknown addresses within the same quarter second";
  t.now += access_policy::TNeighbourBook::kMissRereadAfterMs;
  t.book.HardwareAddress(0x0A000001u);
  EXPECT_EQ(t.reads, 3);
}

// --- Through the access capability ---

struct AccessFixture : doubles::AccessFixture {
  std::size_t Keys() const { return Carried(); }
  // The device connected to the presence port: it may be asked about.
  void Showed(std::uint32_t address) { Access().Approval.ShowedItself(address); }
  // The user clicks "Pause remote control" in the tray menu.
  void ClickPause() { Click(Access().Pause1); }
};

TEST(DeviceAccess, ANewDevicesCommandDoesNothingAndAsksTheUserOnce) {
  AccessFixture t;
  t.Showed(kPhone);
  t.Command(kPhone);
  t.Command(kPhone);
  EXPECT_EQ(t.Keys(), 0u);
  ASSERT_EQ(t.dialogs.asked.size(), 1u);
  const platform::PromptText& text = t.dialogs.asked[0];
  EXPECT_EQ(text.caption, "Mirovanta 2");
  EXPECT_EQ(text.heading, "");
  EXPECT_EQ(text.lines, (std::vector<std::string>{
                            "A device at 192.168.1.23 wants to control this PC.",
                            "Hardware address: not known (it connected to this PC)",
                            "It gives no name.",
                            "It first sent at 16:05:01.",
                            "Allow it to press keys, move the pointer and start programs?",
                        }));
  EXPECT_EQ(text.yes, "Allow");
  EXPECT_EQ(text.no, "Deny");
  EXPECT_EQ(text.other, "Deny all waiting");
  EXPECT_EQ(t.dialogs.open.begin()->second.timeout_ms, 120000u);
  EXPECT_EQ(text.yes_armed_after_ms, 1500u) << "Allow takes no click in the first 1.5 s";
  EXPECT_NE(text.note.find("no password"), std::string::npos);
}

TEST(DeviceAccess, OneQuestionIsOnScreenAndTheNextComesWithTheAnswer) {
  AccessFixture t;
  for (std::uint32_t i = 0; i < 40; ++i) t.Showed(0xC0A80140u + i);
  for (std::uint32_t i = 0; i < 40; ++i) t.Command(0xC0A80140u + i);
  EXPECT_EQ(t.dialogs.open.size(), 1u);
  int shown = 1;
  while (!t.dialogs.open.empty()) {
    t.dialogs.Answer(PromptAnswer::No);
    EXPECT_TRUE(t.dialogs.open.empty()) << "not at once";
    t.system.tick_ms += Approval::kBetweenQuestionsMs;
    t.timers.TickAll();
    shown += t.dialogs.open.size();
  }
  EXPECT_EQ(shown, 5) << "the first and the four that waited";
  EXPECT_EQ(t.dialogs.asked[1].lines[0], "A device at 192.168.1.65 wants to control this PC.");
  EXPECT_EQ(t.dialogs.asked[1].heading, "Another new device (2 of 5 waiting)");
  EXPECT_EQ(t.dialogs.asked[4].heading, "Another new device (5 of 5 waiting)");
  t.Command(0xC0A80140u + 20);
  EXPECT_EQ(t.dialogs.open.size(), 1u) << "one that found no room is asked at its next command";
  EXPECT_EQ(t.Keys(), 0u);
}

const std::string kLog = "C:\\Users\\ann\\AppData\\Local\\Mirovanta 2\\activity.log";

std::size_t LinesWith(const std::vector<std::string>& lines, const std::string& part) {
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
    return line.find(part) != std::string::npos;
  }));
}

TEST(DeviceAccess, DenyAllWaitingDeniesEveryDeviceInTheLine) {
  AccessFixture t;
  for (std::uint32_t i = 0; i < 3; ++i) t.Showed(0xC0A80140u + i);
  for (std::uint32_t i = 0; i < 3; ++i) t.Command(0xC0A80140u + i);
  t.dialogs.Answer(PromptAnswer::Other);
  EXPECT_EQ(t.recorded.refused,
            (std::vector<std::uint32_t>{0xC0A80140u, 0xC0A80141u, 0xC0A80142u}));
  t.system.tick_ms += Approval::kBetweenQuestionsMs;
  t.timers.TickAll();
  EXPECT_EQ(t.dialogs.asked.size(), 1u) << "nobody is left to ask";
  EXPECT_EQ(LinesWith(t.Lines(kLog), "  denied"), 3u);
  t.Command(0xC0A80141u);
  EXPECT_EQ(t.Keys(), 0u);
}

TEST(DeviceAccess, StopAskingForTenMinutesClosesTheQuestionAndAdmitsNobody) {
  AccessFixture t;
  t.Showed(kPhone);
  t.Showed(kTablet);
  t.Command(kPhone);
  ASSERT_EQ(t.dialogs.open.size(), 1u);
  t.Click(t.Access().StopAsking1);
  EXPECT_TRUE(t.dialogs.open.empty());
  t.Access().BeforeMenu();
  EXPECT_TRUE(t.Access().StopAsking1.Checked);
  for (int i = 0; i < 50; ++i) t.Command(kTablet);
  t.Command(kPhone);
  EXPECT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.Keys(), 0u);
  const auto lines = t.Lines(kLog);
  EXPECT_EQ(LinesWith(lines, "192.168.1.24  not asked: asking is stopped for 10 minutes"), 1u);
  EXPECT_EQ(LinesWith(lines, "192.168.1.23  not asked: asking is stopped"), 1u);
  t.system.tick_ms += Approval::kStopAskingMs;
  t.Access().BeforeMenu();
  EXPECT_FALSE(t.Access().StopAsking1.Checked);
  t.Command(kPhone);
  EXPECT_EQ(t.dialogs.asked.size(), 2u) << "asked again after the ten minutes";
  // A click on the checked row asks again at once.
  t.Click(t.Access().StopAsking1);
  t.Click(t.Access().StopAsking1);
  t.system.tick_ms += Approval::kBetweenQuestionsMs;
  t.Command(kTablet);
  EXPECT_EQ(t.dialogs.asked.size(), 3u);
}

TEST(DeviceAccess, ADeviceThatNeverShowedItselfIsNotAskedUntilItConnects) {
  AccessFixture t;
  for (int i = 0; i < 100; ++i) t.Command(kPhone);
  EXPECT_TRUE(t.dialogs.asked.empty());
  EXPECT_EQ(LinesWith(t.Lines(kLog), "192.168.1.23  not asked: unknown hardware address"), 1u);
  t.Events().DeviceConnected(service::Origin::App(kPhone));
  EXPECT_EQ(t.dialogs.asked.size(), 1u);
}

TEST(DeviceAccess, AFloodOfNewAddressesReadsTheNeighbourTableAFewTimesNotPerDatagram) {
  AccessFixture t;
  t.Create();
  for (std::uint32_t i = 0; i < 2000; ++i) {
    t.sockets.Deliver(kPlay, {0xC0A80132u + i % 200, 40000});  // 192.168.1.50 to .249
    if (i % 100 == 0) t.system.tick_ms += 10;                  // 2000 datagrams in 0.2 s
  }
  t.Drain();
  EXPECT_LE(t.sockets.neighbour_reads, 2);
  EXPECT_TRUE(t.dialogs.asked.empty()) << "none of them is in the neighbour table";
}

TEST(DeviceAccess, TheOpenQuestionGoesWithTheHost) {
  AccessFixture t;
  t.Showed(kPhone);
  t.Command(kPhone);
  ASSERT_EQ(t.dialogs.open.size(), 1u);
  t.End();
  EXPECT_TRUE(t.dialogs.open.empty());
}

TEST(DeviceAccess, AllowedDevicesCommandsWorkAlsoAfterARestartAndNothingWaitingIsReplayed) {
  AccessFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.Create();
  t.Command(kPhone);
  t.Command(kPhone);  // while the question is open: dropped, not queued
  t.dialogs.Answer(PromptAnswer::Yes);
  EXPECT_EQ(t.Keys(), 0u);
  EXPECT_TRUE(t.recorded.refused.empty());
  t.Command(kPhone);
  EXPECT_EQ(t.Keys(), 1u);
  t.End();
  t.Create();  // the host starts again over the same registry
  t.Command(kPhone);
  EXPECT_EQ(t.Keys(), 2u);
  EXPECT_EQ(t.dialogs.asked.size(), 1u);
}

TEST(DeviceAccess, ADeniedDeviceIsIgnoredButStillFindsTheHost) {
  AccessFixture t;
  t.Showed(kPhone);
  t.Command(kPhone);
  t.dialogs.Answer(PromptAnswer::No);
  EXPECT_EQ(t.recorded.refused, (std::vector<std::uint32_t>{kPhone})) << "let go of what it holds";
  t.Command(kPhone);
  t.Command(kPhone, kProbe);
  EXPECT_EQ(t.Keys(), 0u);
  EXPECT_EQ(t.dialogs.asked.size(), 1u);
  EXPECT_EQ(t.sockets.Sent().size(), 1u) << "the probe is answered";
}

TEST(DeviceAccess, OtherDevicesAreServedWhileAQuestionIsOpen) {
  AccessFixture t;
  t.Showed(kPhone);
  t.Command(kPhone);
  t.Command(kLoopback);
  EXPECT_EQ(t.Keys(), 1u);
  EXPECT_EQ(t.dialogs.open.size(), 1u);
}

TEST(DeviceAccess, FarSendersAreDroppedOnTheListenerWithoutAReply) {
  AccessFixture t;
  t.Create();
  t.sockets.Deliver(kProbe, {kFar, 40000});
  t.sockets.Deliver(kPlay, {kFar, 40000});
  t.sockets.Deliver(kProbe, {kLoopback, 40001});
  t.Drain();
  ASSERT_EQ(t.sockets.Sent().size(), 1u);
  EXPECT_EQ(t.sockets.Sent()[0].peer.port, 40001);
  EXPECT_EQ(t.services->listener.KeptOnListener(), 3u) << "none was handed to the main thread";
  EXPECT_EQ(t.Keys(), 0u);
  EXPECT_TRUE(t.dialogs.asked.empty());
}

// Only commands cross to the main thread; the probe's answer keeps its place
// among them, as the listener takes the next datagram only after the last
// hand-over returned.
TEST(ListenerThread, AnswersProbesDropsWhatItRefusesAndKeepsTheOrder) {
  AccessFixture t;
  t.Create();
  std::vector<std::size_t> replies_seen_by_keys;
  t.commands.on_carried = [&] { replies_seen_by_keys.push_back(t.sockets.Sent().size()); };
  const Bytes command = {0x15, 0x65, 0x01, 0x03, 0x10};
  for (const Bytes& datagram : {command, kProbe, Bytes{0x15, 0x65}, Bytes{0x16, 0x65, 1, 3, 0x10},
                                Bytes{0x15, 0x65, 0x81}, command}) {
    t.sockets.Deliver(datagram, {kLoopback, 40000});
  }
  t.Drain();
  EXPECT_EQ(replies_seen_by_keys, (std::vector<std::size_t>{0, 1}))
      << "the first key before the probe's answer, the second after it";
  EXPECT_EQ(t.sockets.Sent().size(), 1u);
  EXPECT_EQ(t.services->listener.KeptOnListener(), 4u) << "the probe and the three refused";
}

TEST(DeviceAccess, AskingCanBeTurnedOffAndThatIsRemembered) {
  AccessFixture t;
  t.Create();
  EXPECT_TRUE(t.Access().AskFirst1.Checked) << "on by default";
  t.Click(t.Access().AskFirst1);
  EXPECT_FALSE(t.Access().AskFirst1.Checked);
  t.Command(kPhone);
  EXPECT_EQ(t.Keys(), 1u);
  t.End();
  t.Create();
  EXPECT_FALSE(t.Access().AskFirst1.Checked);
  t.Command(kTablet);
  EXPECT_EQ(t.Keys(), 2u);
  EXPECT_TRUE(t.dialogs.asked.empty());
}

// With the app's wire closed nothing of it reaches the main thread, not
// even the search is answered, and no presence connection is taken; the
// browser's commands go through the gate as before.
TEST(DeviceAccess, OnlyPairedBrowsersClosesTheAppsWireAndIsRemembered) {
  AccessFixture t;
  t.Create();
  EXPECT_FALSE(t.Access().BrowsersOnly1.Checked) << "off by default";
  t.Click(t.Access().BrowsersOnly1);
  EXPECT_TRUE(t.Access().BrowsersOnly1.Checked);
  EXPECT_EQ(t.looks.back().tip, "Mirovanta 2 (only paired browsers)");
  for (int i = 0; i < 3; ++i) {
    t.Command(kLoopback);
    t.Command(kPhone, kProbe);
  }
  EXPECT_EQ(t.Keys(), 0u);
  EXPECT_TRUE(t.sockets.Sent().empty()) << "the search was answered";
  EXPECT_EQ(t.services->listener.KeptOnListener(), 6u) << "handed to the main thread";
  EXPECT_FALSE(t.Access().MayConnect(kPhone));
  EXPECT_TRUE(t.dialogs.asked.empty());
  t.Access().CommandArrived(
      {service::Origin::Browser(kPhone, "b0123456789abcdef"), service::KeyPress{0x0D, 0}});
  EXPECT_EQ(t.Keys(), 1u) << "a paired browser drives the PC as before";
  const auto lines = t.Lines(kLog);
  EXPECT_EQ(LinesWith(lines, "dropped: only paired browsers may control this PC"), 2u)
      << "folded per device";
  EXPECT_EQ(LinesWith(lines,
                      "only paired browsers may control this PC: the app's datagrams are "
                      "dropped"),
            1u);

  t.End();
  t.Create();
  EXPECT_TRUE(t.Access().BrowsersOnly1.Checked) << "remembered";
  t.Command(kPhone, kProbe);
  EXPECT_TRUE(t.sockets.Sent().empty());
  t.Click(t.Access().BrowsersOnly1);
  t.Command(kPhone, kProbe);
  EXPECT_EQ(t.sockets.Sent().size(), 1u) << "the app finds the PC again";
  EXPECT_TRUE(t.Access().MayConnect(kPhone));
}

TEST(DeviceAccess, PauseStopsEveryDeviceButNotTheProbeAndShowsOnTheIcon) {
  AccessFixture t;
  t.Create();
  t.ClickPause();
  ASSERT_TRUE(t.Access().Paused);
  EXPECT_EQ(t.looks.back().tip, "Mirovanta 2 (paused)");
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::Paused);
  t.Command(kLoopback);
  t.Command(kLoopback, kProbe);
  EXPECT_EQ(t.Keys(), 0u);
  EXPECT_EQ(t.sockets.Sent().size(), 1u);
  t.ClickPause();
  EXPECT_EQ(t.looks.back().tip, "Mirovanta 2");
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::Normal);
  t.Command(kLoopback);
  EXPECT_EQ(t.Keys(), 1u);
  t.End();
  t.Create();
  EXPECT_FALSE(t.Access().Pause1.Checked) << "not remembered";
}

TEST(DeviceAccess, AllowedDevicesAreListedAndCanBeForgotten) {
  AccessFixture t;
  t.Create();
  auto none = t.DevicesMenu();
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].Caption, "(none)");
  EXPECT_FALSE(none[0].Enabled);
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.Command(kPhone);
  t.dialogs.Answer(PromptAnswer::Yes);
  auto listed = t.DevicesMenu();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].Caption, "3c-22-fb-01-02-03 (192.168.1.23)\tallowed");
  ASSERT_EQ(listed[0].Items.size(), 1u);
  EXPECT_EQ(listed[0].Items[0].Caption, "Forget\xE2\x80\xA6");
  // "Forget…" of the allowed device's row: the devices in use come first.
  auto forget = [&t] {
    for (const service::TMenuItem& row : t.DevicesMenu()) {
      if (row.Caption.ends_with("\tallowed")) return row.Items.at(0).OnClick();
    }
    FAIL() << "no allowed device is listed";
  };
  t.dialogs.confirm = false;
  forget();
  EXPECT_EQ(
      t.dialogs.confirmations.back(),
      "Forget the device at 3c-22-fb-01-02-03 (192.168.1.23)? It will have to be allowed again.");
  t.Command(kPhone);
  EXPECT_EQ(t.Keys(), 1u) << "No keeps it";
  t.dialogs.confirm = true;
  forget();
  t.system.tick_ms += Approval::kBetweenQuestionsMs;
  t.Command(kPhone);
  EXPECT_EQ(t.Keys(), 1u) << "forgotten: asked about again";
  EXPECT_EQ(t.dialogs.asked.size(), 2u);
}

TEST(DeviceAccess, ANewDevicesConnectionAsksAboutIt) {
  AccessFixture t;
  t.Create();
  t.Events().DeviceConnected(service::Origin::App(kPhone));
  EXPECT_EQ(t.dialogs.asked.size(), 1u);
  t.Command(kPhone);
  EXPECT_EQ(t.dialogs.asked.size(), 1u) << "once";
}

TEST(DeviceAccess, OnlyNearbyDevicesNotRefusedMayHoldAConnection) {
  AccessFixture t;
  t.Showed(kPhone);
  EXPECT_TRUE(t.Access().MayConnect(kPhone));
  EXPECT_FALSE(t.Access().MayConnect(kFar)) << "a far device is not let in";
  t.Command(kPhone);
  t.dialogs.Answer(platform::PromptAnswer::No);
  EXPECT_FALSE(t.Access().MayConnect(kPhone)) << "nor a refused one: no name, no balloon";
}

TEST(DeviceAccess, WhilePausedAConnectionAsksNothing) {
  AccessFixture t;
  t.Create();
  t.ClickPause();
  ASSERT_TRUE(t.Access().Paused);
  t.Events().DeviceConnected(service::Origin::App(kPhone));
  EXPECT_TRUE(t.dialogs.asked.empty());
}

}  // namespace
