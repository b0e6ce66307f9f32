// The warning when input goes to a window that runs above the host.
#include <gtest/gtest.h>

#include "service/datagram_command.h"

#include "input/input_target.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/media_fixture.h"

namespace {

using platform::IntegrityLevel;

struct TargetFixture {
  doubles::FakeWindows windows;
  std::vector<std::string> told;
  std::uint64_t now_ms = 5000;
  input::TInputTargetCheck check{windows, [this] { return now_ms; },
                                 [this](const std::string& text) { told.push_back(text); }};

  TargetFixture() {
    windows.levels[0] = IntegrityLevel::Medium;
    windows.top_windows = {{11, 100, "Task Manager"},
                           {12, 100, "Task Manager - details"},
                           {21, 200, "Notepad"},
                           {31, 300, "Setup"}};
    windows.levels[100] = IntegrityLevel::High;
    windows.levels[200] = IntegrityLevel::Medium;
    windows.levels[300] = IntegrityLevel::System;
  }
  // The window comes to the front, and the next command comes after the
  // check would look again.
  void Focus(platform::WindowHandle window) {
    windows.foreground = window;
    now_ms += input::TInputTargetCheck::kLookEveryMs;
    check.BeforeInput();
  }
};

TEST(InputTarget, AWindowAboveTheHostIsToldOncePerProcess) {
  TargetFixture t;
  t.Focus(11);
  EXPECT_EQ(t.told, (std::vector<std::string>{
                        "Mirovanta 2 cannot control \"Task Manager\" because it runs as "
                        "administrator."}));
  t.Focus(12);  // another window of the same process
  t.Focus(21);
  t.Focus(11);  // back to it
  EXPECT_EQ(t.told.size(), 1u);
  t.Focus(31);
  ASSERT_EQ(t.told.size(), 2u);
  EXPECT_EQ(t.told[1], input::TInputTargetCheck::WarningText("Setup"));
}

TEST(InputTarget, TheLevelIsReadOnlyWhenTheForegroundWindowChanges) {
  TargetFixture t;
  t.Focus(21);
  const int reads = t.windows.level_reads;
  for (int i = 0; i < 1000; ++i) t.check.BeforeInput();
  EXPECT_EQ(t.windows.level_reads, reads) << "a key per command costs one foreground look";
  t.Focus(0);  // no foreground window: nothing to look at
  EXPECT_EQ(t.windows.level_reads, reads);
  EXPECT_TRUE(t.told.empty());
}

TEST(InputTarget, TheForegroundWindowIsLookedAtNoMoreOftenThanThePeriod) {
  TargetFixture t;
  t.Focus(21);
  const int looks = t.windows.foreground_reads;
  t.windows.foreground = 11;  // Task Manager comes to the front between keys
  for (int i = 0; i < 1000; ++i) {
    t.now_ms += 2;  // a burst of keys, 2 ms apart
    t.check.BeforeInput();
    if (t.now_ms - 5250 >= input::TInputTargetCheck::kLookEveryMs) break;
  }
  EXPECT_EQ(t.windows.foreground_reads, looks + 1) << "one more look, at the period's end";
  EXPECT_EQ(t.told.size(), 1u) << "and the change is seen there";
}

TEST(InputTarget, TheFirstCommandAfterAPauseLooksAtOnce) {
  TargetFixture t;
  t.Focus(21);
  t.windows.foreground = 11;
  t.now_ms += 60'000;
  t.check.BeforeInput();
  EXPECT_EQ(t.told.size(), 1u);
}

TEST(InputTarget, NothingIsSaidWhenEitherLevelIsUnknownOrNotHigher) {
  struct Case {
    IntegrityLevel own;
    IntegrityLevel target;
    bool told;
  };
  const Case cases[] = {
      {IntegrityLevel::Medium, IntegrityLevel::High, true},
      {IntegrityLevel::Medium, IntegrityLevel::System, true},
      {IntegrityLevel::Low, IntegrityLevel::Medium, true},
      {IntegrityLevel::Medium, IntegrityLevel::Medium, false},
      {IntegrityLevel::High, IntegrityLevel::High, false},  // the host run as administrator
      {IntegrityLevel::High, IntegrityLevel::Medium, false},
      {IntegrityLevel::Unknown, IntegrityLevel::High, false},
      {IntegrityLevel::Medium, IntegrityLevel::Unknown, false},
  };
  for (const Case& c : cases) {
    TargetFixture t;
    t.windows.levels[0] = c.own;
    t.windows.levels[100] = c.target;
    t.Focus(11);
    EXPECT_EQ(t.told.size(), c.told ? 1u : 0u)
        << static_cast<int>(c.own) << " " << static_cast<int>(c.target);
  }
}

TEST(InputTarget, TheRecordOfProcessesToldAboutIsBounded) {
  TargetFixture t;
  t.windows.top_windows.clear();
  for (std::uint32_t p = 1; p <= input::TInputTargetCheck::kToldKept + 1; ++p) {
    t.windows.top_windows.push_back({static_cast<platform::WindowHandle>(p), 1000 + p, "x"});
    t.windows.levels[1000 + p] = IntegrityLevel::High;
  }
  for (const auto& window : t.windows.top_windows) t.Focus(window.handle);
  EXPECT_EQ(t.told.size(), input::TInputTargetCheck::kToldKept + 1);
  t.Focus(1);  // forgotten when the record started afresh: told again
  EXPECT_EQ(t.told.size(), input::TInputTargetCheck::kToldKept + 2);
}

// Through the capabilities that own the groups: a key, text or pointer
// command looks at the window in front first, and the input is still sent; a
// launch does not look.
TEST(InputTarget, KeysTextAndPointerAreCheckedButLaunchesAreNot) {
  doubles::MediaFixture t;
  t.windows.levels[0] = IntegrityLevel::Medium;
  t.windows.top_windows = {{11, 100, "Task Manager"}};
  t.windows.levels[100] = IntegrityLevel::High;
  t.windows.foreground = 11;
  service::TCommandRouter commands;
  t.Input().RegisterCommands(commands);
  t.Launch().RegisterCommands(commands);
  t.Media().RegisterCommands(commands);
  auto handle = [&commands](std::vector<std::uint8_t> bytes) {
    commands.CarryOut(
        {service::Origin::App(1), service::DecodeDatagram(bytes.data(), bytes.size())});
  };
  handle({0x15, 0x65, 0x04, 0x02, 0x02});
  EXPECT_TRUE(t.warnings.empty()) << "a launch sends no input";
  handle({0x15, 0x65, 0x01, 0x03, 0x20});
  ASSERT_EQ(t.warnings.size(), 1u);
  EXPECT_EQ(t.warnings[0], input::TInputTargetCheck::WarningText("Task Manager"));
  EXPECT_FALSE(t.input.calls.empty()) << "the key is still sent";
  t.system.tick_ms += input::TInputTargetCheck::kLookEveryMs;
  t.windows.foreground = 12;
  t.windows.top_windows.push_back({12, 101, "Setup"});
  t.windows.levels[101] = IntegrityLevel::High;
  handle({0x15, 0x65, 0x03, 0x01, 0x05, 0x05});
  EXPECT_EQ(t.warnings.size(), 2u) << "the pointer looks too";
  t.system.tick_ms += input::TInputTargetCheck::kLookEveryMs;
  t.windows.foreground = 11;
  handle({0x15, 0x65, 0x02, 0x00, 'h', 'i'});
  EXPECT_EQ(t.warnings.size(), 2u) << "once per process";
  EXPECT_EQ(t.events.did.back().what, service::Activity::Typed);
}

}  // namespace
