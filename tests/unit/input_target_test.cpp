// The warning when input goes to a window that runs above the host.
#include <gtest/gtest.h>

#include "input/input_target.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/form_fixture.h"

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

// Through the form: a key, text or pointer command looks at the window in
// front first, and the input is still sent; a launch does not look.
TEST(InputTarget, TheFormChecksBeforeKeysTextAndPointerButNotLaunches) {
  doubles::FormFixture t;
  t.windows.levels[0] = IntegrityLevel::Medium;
  t.windows.top_windows = {{11, 100, "Task Manager"}};
  t.windows.levels[100] = IntegrityLevel::High;
  t.windows.foreground = 11;
  t.Create();
  const std::vector<std::uint8_t> launch = {0x15, 0x65, 0x04, 0x02, 0x02};
  t.sockets.Deliver(launch, {0x7F000001u, 40000});
  t.Drain();
  EXPECT_TRUE(t.tray.Balloons().empty()) << "a launch sends no input";
  const std::vector<std::uint8_t> play = {0x15, 0x65, 0x01, 0x03, 0x20};
  t.sockets.Deliver(play, {0x7F000001u, 40000});
  t.Drain();
  ASSERT_EQ(t.tray.Balloons().size(), 1u);
  EXPECT_EQ(t.tray.Balloons()[0].text, input::TInputTargetCheck::WarningText("Task Manager"));
  EXPECT_FALSE(t.input.calls.empty()) << "the key is still sent";
  const std::vector<std::uint8_t> move = {0x15, 0x65, 0x03, 0x00, 0x05, 0x05};
  t.sockets.Deliver(move, {0x7F000001u, 40000});
  t.Drain();
  EXPECT_EQ(t.tray.Balloons().size(), 1u) << "once per process";
}

}  // namespace
