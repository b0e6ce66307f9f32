// The laser pointer companion's start and stop, against a shell double.
#include <gtest/gtest.h>

#include "tests/doubles/media_fixture.h"
#include "tests/doubles/rooms.h"

namespace {

using Strings = std::vector<std::string>;

TEST(LaserCompanion, StartsOnceFromTheHostsDirectoryWithDashDMaximised) {
  doubles::MediaFixture t;
  t.shell.result = 42;
  t.Media().MediaPageButton(3, 0xFD);
  t.Media().MediaPageButton(3, 0xFD);
  ASSERT_EQ(t.shell.calls.size(), 1u) << "a second start does nothing";
  EXPECT_EQ(t.shell.calls[0].operation, "open");
  EXPECT_EQ(t.shell.calls[0].file, "C:\\Program Files\\Mirovanta 2\\Laser.exe");
  EXPECT_EQ(t.shell.calls[0].parameters, "-d");
  EXPECT_EQ(t.shell.calls[0].directory, "");
  EXPECT_EQ(t.shell.calls[0].show, platform::ShowAs::Maximized);
  EXPECT_EQ(t.Media().Laser.LaserWnd, 42);
}

TEST(LaserCompanion, AStartTheShellRefusedIsTriedAgainNextTime) {
  doubles::LaserRoom t;
  for (std::intptr_t refused : {0, 2, 32}) {
    t.shell.result = refused;
    t.Laser.StartLaserCompanion();
    EXPECT_EQ(t.Laser.LaserWnd, 0) << refused;
  }
  EXPECT_EQ(t.shell.calls.size(), 3u);
  t.shell.result = 33;
  t.Laser.StartLaserCompanion();
  EXPECT_EQ(t.Laser.LaserWnd, 33);
}

TEST(LaserCompanion, StopAsksTheCompanionWindowToCloseAndClearsTheMark) {
  doubles::MediaFixture t;
  t.windows.found = 777;
  t.Media().MediaPageButton(1, 0xFD);
  t.Media().MediaPageButton(1, 0xFE);
  EXPECT_EQ(t.windows.calls, (Strings{"FindTopWindow TLaserForm Laser", "PostClose 777"}));
  EXPECT_EQ(t.Media().Laser.LaserWnd, 0);
  t.Media().MediaPageButton(1, 0xFD);
  EXPECT_EQ(t.shell.calls.size(), 2u) << "after a stop, a start starts again";
}

TEST(LaserCompanion, StopWithoutAStartDoesNothingEvenWithAWindowThere) {
  doubles::LaserRoom t;
  t.windows.found = 777;
  t.Laser.StopLaserCompanion();
  EXPECT_TRUE(t.windows.calls.empty());
}

TEST(LaserCompanion, StopThatFindsNoWindowStillClearsTheMark) {
  doubles::LaserRoom t;
  t.windows.found = 0;
  t.Laser.StartLaserCompanion();
  t.Laser.StopLaserCompanion();
  EXPECT_EQ(t.windows.calls, (Strings{"FindTopWindow TLaserForm Laser"}));
  EXPECT_EQ(t.Laser.LaserWnd, 0);
}

TEST(LaserCompanion, ACompanionStoppedBeforeItsWindowExistsIsEnded) {
  doubles::LaserRoom t;
  constexpr std::uint32_t kHost = doubles::FakeProcesses::kOwnId;
  t.processes.running = {{7, "Laser.exe", kHost},
                         {8, "notepad.exe", kHost},
                         {9, "C:\\Program Files\\Mirovanta 2\\LASER.EXE", kHost},
                         {10, "Laser.exe", 512}};  // another program's, of the same name
  t.windows.found = 0;
  t.Laser.StartLaserCompanion();
  t.Laser.StopLaserCompanion();
  EXPECT_EQ(t.processes.terminated, (std::vector<std::uint32_t>{7, 9}));
  EXPECT_EQ(t.Laser.LaserWnd, 0);

  // With its window there, it is asked to close and nothing is ended.
  t.processes.terminated.clear();
  t.windows.found = 777;
  t.Laser.StartLaserCompanion();
  t.Laser.StopLaserCompanion();
  EXPECT_TRUE(t.processes.terminated.empty());
}

TEST(LaserCompanion, PageSevenHasNoLaserButtons) {
  doubles::MediaFixture t;
  t.Media().MediaPageButton(7, 0xFD);
  t.Media().Laser.StartLaserCompanion();
  t.windows.found = 5;
  t.Media().MediaPageButton(7, 0xFE);
  EXPECT_EQ(t.Media().Laser.LaserWnd, 42) << "page 7's stop button did not stop it";
  EXPECT_EQ(t.shell.calls.size(), 1u);
}

}  // namespace
