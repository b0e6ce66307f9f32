// The activity log: its lines, the refusals it folds together, its roll-over
// and a folder it cannot write to.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "activity/activity_log.h"
#include "tests/doubles/fake_files.h"
#include "tests/doubles/fake_system.h"

namespace {

using activity::Activity;
using activity::LogDevice;
using activity::Refusal;

constexpr const char* kFolder = "C:\\Users\\ann\\AppData\\Local\\Mirovanta 2";
const std::string kLog = std::string(kFolder) + "\\activity.log";
const std::string kOldLog = std::string(kFolder) + "\\activity.1.log";
const LogDevice kPhone{0xC0A80125u, "3c-22-fb-01-02-03"};  // 192.168.1.37
const LogDevice kFar{0x08080808u, ""};
constexpr std::uint64_t kMinute = activity::TActivityLog::kRemoteLineEveryMs;

struct LogFixture {
  doubles::FakeFiles files;
  doubles::FakeSystem system;
  activity::TActivityLog log{files, system, kFolder};

  std::string Text() {
    log.Flush();
    return files.Text(kLog);
  }
};

TEST(ActivityLog, EachEventIsOneLineWithTimeDeviceAndWhatHappened) {
  // Plain fields: GCC 12 -O2 warns falsely about strings in an aggregate table.
  const struct {
    std::uint32_t address;
    const char* hardware;
    Activity what;
    const char* detail;
    const char* line;
  } cases[] = {
      {0, "", Activity::HostStarted, "", "2026-12-08 16:05:01  -  Mirovanta 2 started"},
      {0xC0A80125u, "3c-22-fb-01-02-03", Activity::Connected, "",
       "2026-12-08 16:05:01  192.168.1.37 (3c-22-fb-01-02-03)  connected"},
      {0xC0A80125u, "", Activity::Asked, "",
       "2026-12-08 16:05:01  192.168.1.37  asked whether it may control this PC"},
      {0xC0A80125u, "3c-22-fb-01-02-03", Activity::Launched, "Media Player",
       "2026-12-08 16:05:01  192.168.1.37 (3c-22-fb-01-02-03)  started Media Player"},
      {0xC0A80125u, "3c-22-fb-01-02-03", Activity::Typed, "12",
       "2026-12-08 16:05:01  192.168.1.37 (3c-22-fb-01-02-03)  typed 12 characters"},
      {0, "", Activity::Paused, "", "2026-12-08 16:05:01  -  remote control paused"},
      {0, "3c-22-fb-01-02-03", Activity::Forgotten, "",
       "2026-12-08 16:05:01  3c-22-fb-01-02-03  forgotten: it will be asked about again"},
  };
  for (const auto& c : cases) {
    LogFixture t;
    t.log.Note({c.address, c.hardware}, c.what, c.detail);
    EXPECT_EQ(t.Text(), std::string(c.line) + "\r\n");
  }
}

TEST(ActivityLog, EveryEventHasWords) {
  for (int what = 0; what <= static_cast<int>(Activity::AddressWatchFailed); ++what) {
    EXPECT_FALSE(activity::ActivityWords(static_cast<Activity>(what), "x").empty()) << what;
  }
  for (Refusal why : {Refusal::FarSender, Refusal::RefusedDevice, Refusal::Paused}) {
    EXPECT_FALSE(activity::RefusalWords(why).empty());
  }
}

TEST(ActivityLog, ADevicesRefusalsMakeOneLineInTenMinutesWithACountAfter) {
  LogFixture t;
  for (int i = 0; i < 500; ++i) t.log.NoteRefusal(kFar, Refusal::FarSender);
  t.log.NoteRefusal(kPhone, Refusal::Paused);  // another device: a line of its own
  t.system.tick_ms += activity::TActivityLog::kRefusalEveryMs - 1;
  t.log.NoteRefusal(kFar, Refusal::FarSender);
  t.system.tick_ms += 1;
  t.log.NoteRefusal(kFar, Refusal::FarSender);
  EXPECT_EQ(t.Text(),
            "2026-12-08 16:05:01  8.8.8.8  refused: not on this PC's network\r\n"
            "2026-12-08 16:05:01  192.168.1.37 (3c-22-fb-01-02-03)  dropped: remote control "
            "is paused\r\n"
            "2026-12-08 16:05:01  8.8.8.8  refused: not on this PC's network (500 more since "
            "the last line)\r\n");
}

TEST(ActivityLog, BrowsersRefusedBeforeAProofFoldPerAddress) {
  LogFixture t;
  const LogDevice first{0xC0A80125u, service::kUnprovedBrowser};
  const LogDevice second{0xC0A80126u, service::kUnprovedBrowser};
  for (int i = 0; i < 200; ++i) t.log.NoteRefusal(first, Refusal::BrowserProofFailed);
  for (int i = 0; i < 200; ++i) t.log.NoteRefusal(second, Refusal::BrowserProofFailed);
  EXPECT_EQ(t.Text(),
            "2026-12-08 16:05:01  192.168.1.37 (browser)  refused: a browser that does not "
            "hold its key\r\n"
            "2026-12-08 16:05:01  192.168.1.38 (browser)  refused: a browser that does not "
            "hold its key\r\n")
      << "a second address's refusals are not hidden in the first's count";
}

TEST(ActivityLog, RefusalsOfTooManyDevicesAreCountedNotListed) {
  LogFixture t;
  const std::size_t bound = activity::TActivityLog::kRefusalDevices;
  for (std::uint32_t i = 0; i < bound + 300; ++i) {
    t.log.NoteRefusal({0x0A000001u + i, ""}, Refusal::FarSender);
  }
  t.system.tick_ms += activity::TActivityLog::kRefusalEveryMs;
  t.log.NoteRefusal({0x0B000001u, ""}, Refusal::FarSender);
  const std::string text = t.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(bound) + 1);
  EXPECT_NE(text.find("(and 300 from devices too many to list)"), std::string::npos);
}

// A full list is looked over only when its oldest line can be due: a flood of
// new far addresses costs no scan each, and nothing is forgotten too late.
TEST(ActivityLog, AFullListIsLookedOverWhenItsOldestIsDueAndNotBefore) {
  LogFixture t;
  const std::uint32_t half = activity::TActivityLog::kRefusalDevices / 2;
  constexpr std::uint64_t kHalfTime = activity::TActivityLog::kRefusalEveryMs / 2;
  for (std::uint32_t i = 0; i < half; ++i)
    t.log.NoteRefusal({0x0A000001u + i, ""}, Refusal::FarSender);
  t.system.tick_ms += kHalfTime;
  for (std::uint32_t i = 0; i < half; ++i)
    t.log.NoteRefusal({0x0B000001u + i, ""}, Refusal::FarSender);
  t.system.tick_ms += kHalfTime - 1;
  for (std::uint32_t i = 0; i < 1000; ++i)
    t.log.NoteRefusal({0x0C000001u + i, ""}, Refusal::FarSender);
  t.system.tick_ms += 1;  // the first half is due now, the second not yet
  t.log.NoteRefusal({0x0D000001u, ""}, Refusal::FarSender);
  t.log.NoteRefusal({0x0B000001u, ""}, Refusal::FarSender);  // noted half a period ago: folded
  const std::string text = t.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(2 * half) + 1);
  EXPECT_NE(text.find("13.0.0.1  refused: not on this PC's network (and 1000 from devices too "
                      "many to list)"),
            std::string::npos);
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// What a remote causes is folded per device and kind for a minute; the
// program's name makes a kind of its own, the length of a text does not; the
// PC's own user's lines are all written.
TEST(ActivityLog, ARemotesLinesFoldPerDeviceAndKindForAMinute) {
  const struct {
    Activity what;
    const char* first;
    const char* second;
    std::size_t lines;
  } cases[] = {
      {Activity::Connected, "", "", 1},  {Activity::ReplyNotSent, "", "", 1},
      {Activity::Typed, "3", "250", 1},  {Activity::Launched, "Media Player", "Picture Viewer", 2},
      {Activity::Allowed, "", "", 1000}, {Activity::Paused, "", "", 1000},
  };
  for (const auto& c : cases) {
    LogFixture t;
    for (int i = 0; i < 500; ++i) {
      t.log.Note(kPhone, c.what, c.first);
      t.log.Note(kPhone, c.what, c.second);
    }
    t.log.Note(kFar, c.what, c.first);  // another device: a line of its own
    EXPECT_EQ(Count(t.Text(), "\r\n"), c.lines + 1) << static_cast<int>(c.what);
  }
  LogFixture t;
  for (int i = 0; i < 1000; ++i) t.log.Note(kPhone, Activity::Connected);
  t.system.tick_ms += kMinute - 1;
  t.log.Note(kPhone, Activity::Connected);
  t.system.tick_ms += 1;
  t.log.Note(kPhone, Activity::Connected);
  EXPECT_EQ(Count(t.Text(), "connected (1000 more since the last line)\r\n"), 1u) << t.Text();
}

TEST(ActivityLog, EachDeviceWritesAtMostItsBudgetOfLinesAMinute) {
  LogFixture t;
  const unsigned budget = activity::TLineFold::kDeviceLinesPerMinute;
  for (unsigned i = 0; i < budget + 8; ++i) {
    t.log.Note(kPhone, Activity::Launched, "program " + std::to_string(i));
  }
  t.log.NoteRefusal(kPhone, Refusal::Paused);
  t.log.Note(kFar, Activity::Connected);  // another device has a budget of its own
  EXPECT_EQ(Count(t.Text(), "\r\n"), budget + 1u);
  t.system.tick_ms += kMinute;
  t.log.Note(kPhone, Activity::Connected);
  EXPECT_EQ(Count(t.Text(), "connected (9 other lines of this device left out)"), 1u) << t.Text();
}

// Connect and close loops, unanswerable searches and a crowd of addresses
// fill both files many times over; the user's own last 200 lines start the
// file again at each roll-over.
TEST(ActivityLog, AFloodOfRemoteLinesLeavesTheUsersLastLinesInTheLog) {
  LogFixture t;
  t.log.Note(kPhone, Activity::Allowed);
  for (int i = 0; i < 250; ++i) t.log.Note({}, i % 2 == 0 ? Activity::Paused : Activity::Resumed);
  t.log.Note(kPhone, Activity::Allowed);
  for (int minute = 0; minute < 20; ++minute) {
    t.system.tick_ms += kMinute;
    for (std::uint32_t device = 0; device < 1024; ++device) {
      const LogDevice from{0xC0A80000u + device, ""};
      for (int loop = 0; loop < 3; ++loop) {
        t.log.Note(from, Activity::Connected);
        t.log.Note(from, Activity::Disconnected);
        t.log.Note(from, Activity::ReplyNotSent);
      }
      t.log.Note(from, Activity::Launched, std::string(150, 'x'));
      if (device % 256 == 0) t.log.Flush();
    }
  }
  const std::string now = t.Text();
  const std::string old = t.files.Text(kOldLog);
  ASSERT_GT(old.size(), static_cast<std::size_t>(activity::TLogWriter::kMaxBytes) / 2);
  EXPECT_NE(now.find("(carried over from the older file: the last 200 lines of what was decided "
                     "at this PC)\r\n"),
            std::string::npos);
  EXPECT_NE(now.find("192.168.1.37 (3c-22-fb-01-02-03)  allowed\r\n"), std::string::npos);
  EXPECT_EQ(Count(now, "  allowed\r\n"), 1u) << "the first one is older than the last 200";
  EXPECT_EQ(Count(now, "(end of what was carried over)"), 1u);
}

TEST(ActivityLog, PastOneMegabyteTheLogRollsOverKeepingOneOldFile) {
  LogFixture t;
  const std::string detail(200, 'x');
  const int lines = 3 * 1024 * 1024 / 250;  // about three megabytes in all
  for (int i = 0; i < lines; ++i) {
    t.system.tick_ms += kMinute;  // a line a minute: none folded
    t.log.Note(kPhone, Activity::Launched, detail);
    if (i % 1000 == 0) t.log.Flush();  // many writes, as over a day
  }
  const std::string now = t.Text();
  const std::string old = t.files.Text(kOldLog);
  EXPECT_LE(now.size(), static_cast<std::size_t>(activity::TLogWriter::kMaxBytes));
  EXPECT_LE(old.size(), static_cast<std::size_t>(activity::TLogWriter::kMaxBytes));
  EXPECT_GT(old.size(), static_cast<std::size_t>(activity::TLogWriter::kMaxBytes) / 2);
  EXPECT_EQ(t.files.files.size(), 2u) << "one old file, not more";
  EXPECT_EQ(old.substr(old.size() - 2), "\r\n") << "the roll falls between lines";
}

// A viewer that holds the old file keeps the roll-over from replacing it: the
// log stops at twice its size, says so once, and goes on once it can roll.
TEST(ActivityLog, ALogThatCannotRollOverStopsAtTwiceItsSizeAndSaysSoOnce) {
  LogFixture t;
  t.files.RefuseReplace(true);
  const std::string detail(200, 'x');
  const int lines = 5 * 1024 * 1024 / 250;  // about five megabytes
  for (int i = 0; i < lines; ++i) {
    t.system.tick_ms += kMinute;  // a line a minute: none folded
    t.log.Note(kPhone, Activity::Launched, detail);
    if (i % 1000 == 0) t.log.Flush();
  }
  const std::string full = t.Text();
  const std::string stop = "(the log is full and could not be moved to";
  EXPECT_LE(full.size(), static_cast<std::size_t>(activity::TLogWriter::kStopBytes) + 200);
  EXPECT_GT(full.size(), static_cast<std::size_t>(activity::TLogWriter::kMaxBytes));
  EXPECT_EQ(full.find(stop), full.rfind(stop)) << "said once";
  EXPECT_NE(full.find(stop), std::string::npos);
  t.files.RefuseReplace(false);
  t.system.tick_ms += kMinute;
  t.log.Note(kPhone, Activity::Connected);
  const std::string after = t.Text();
  EXPECT_EQ(after.rfind("(", 0), 0u) << after.substr(0, 80);
  EXPECT_NE(after.find("lines could not be written to this file)"), std::string::npos);
  EXPECT_EQ(t.files.Text(kOldLog), full) << "the full log is the old one now";
}

TEST(ActivityLog, ALogThatCannotBeWrittenLosesItsLinesAndSaysSoLater) {
  LogFixture t;
  t.files.RefuseWrites(true);
  t.log.Note(kPhone, Activity::Connected);
  t.log.Note(kPhone, Activity::Disconnected);
  EXPECT_EQ(t.Text(), "");
  t.files.RefuseWrites(false);
  t.system.tick_ms += kMinute;
  t.log.Note(kPhone, Activity::Connected);
  EXPECT_EQ(t.Text(),
            "(2 lines could not be written to this file)\r\n"
            "2026-12-08 16:05:01  192.168.1.37 (3c-22-fb-01-02-03)  connected\r\n");
}

TEST(ActivityLog, LinesAddedWithoutAFlushReachTheFileByThemselves) {
  LogFixture t;
  t.log.Note({}, Activity::HostStarted);
  for (int i = 0; i < 200 && t.files.Text(kLog).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_NE(t.files.Text(kLog), "");
}

TEST(ActivityLog, WhatIsAddedBeforeTheLogEndsIsWritten) {
  doubles::FakeFiles files;
  doubles::FakeSystem system;
  {
    activity::TActivityLog log(files, system, kFolder);
    for (int i = 0; i < 100; ++i) log.Note({}, Activity::Paused);
  }
  const std::string text = files.Text(kLog);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 100);
}

}  // namespace
