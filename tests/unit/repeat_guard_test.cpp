// Repeated launches and closes within two seconds, through the media pages.
#include <gtest/gtest.h>

#include "tests/doubles/media_fixture.h"

namespace {

struct RepeatFixture : doubles::MediaFixture {
  RepeatFixture() {
    profile.sections["1-4App"]["Path"] = "C:\\Storm\\Storm.exe";
    profile.sections["4-2App"]["Path"] = "C:\\Tools\\QLN.exe";
    system.files = {"C:\\Storm\\Storm.exe", "C:\\Tools\\QLN.exe"};
    processes.running = {{7, "Storm.exe"}, {8, "QLN.exe"}};
    Create();
  }
  std::size_t Starts() const { return shell.calls.size(); }
  std::size_t Ends() const { return processes.terminated.size(); }
  void After(std::uint64_t ms) { system.tick_ms += ms; }
};

TEST(Repeats, ALaunchLessThanTwoSecondsAfterTheLastIsDropped) {
  RepeatFixture t;
  t.Media().MediaPageButton(4, 0x02);
  t.After(1999);
  t.Media().MediaPageButton(4, 0x02);
  EXPECT_EQ(t.Starts(), 1u);
  t.After(1);  // two seconds after the one carried out
  t.Media().MediaPageButton(4, 0x02);
  EXPECT_EQ(t.Starts(), 2u);
}

TEST(Repeats, AButtonHeldDownStartsTheProgramOnceEveryTwoSeconds) {
  RepeatFixture t;
  for (int press = 0; press < 40; ++press) {  // ten seconds, four presses a second
    t.Launch().Utilities.LaunchUtility(2);
    t.After(250);
  }
  EXPECT_EQ(t.Starts(), 5u) << "one elevation prompt per two seconds, not forty";
}

TEST(Repeats, EachKindAndNumberCountsOnItsOwn) {
  RepeatFixture t;
  t.Media().MediaPageButton(4, 0x02);  // launch page 4
  t.Media().MediaPageButton(4, 0xFF);  // close page 4
  t.Media().MediaPageButton(2, 0x02);  // launch page 2: not found, Open.exe
  t.Launch().Utilities.LaunchUtility(2);
  t.Launch().Utilities.CloseUtility(2);
  t.Launch().Utilities.LaunchUtility(3);  // not found, Open.exe
  EXPECT_EQ(t.Starts(), 4u);
  EXPECT_EQ(t.Ends(), 2u);
  t.Media().MediaPageButton(4, 0xFF);
  t.Launch().Utilities.CloseUtility(2);
  t.Launch().Utilities.LaunchUtility(3);
  EXPECT_EQ(t.Starts(), 4u) << "a repeated locator start is dropped too";
  EXPECT_EQ(t.Ends(), 2u);
}

TEST(Repeats, KeysAndPointerCommandsAreNeverDropped) {
  RepeatFixture t;
  for (int i = 0; i < 5; ++i) t.Media().MediaPageButton(4, 0x20);
  EXPECT_EQ(t.input.calls.size(), 5u);
}

}  // namespace
