// The companion programs' logic: Open.exe's parameter and store write, and
// the laser dot's image.
#include <gtest/gtest.h>

#include <algorithm>

#include "companions/laser/dot_image.h"
#include "companions/laser/follow_pace.h"
#include "companions/open/locate_request.h"
#include "tests/doubles/fake_system.h"
#include "tests/unit/design_tables.h"

namespace {

// Every Open.exe parameter of the design's tables names its section and application.
TEST(LocateParameters, NameTheSectionAndTheApplication) {
  for (const design::PageRow& row : design::kPages) {
    auto request = companions::ParseLocateParameter(row.open_parameter);
    ASSERT_TRUE(request) << row.open_parameter;
    EXPECT_EQ(request->section, row.section);
    EXPECT_EQ(request->title, std::string("Locate ") + row.name);
  }
  for (const design::UtilityRow& row : design::kUtilities) {
    auto request = companions::ParseLocateParameter(row.open_parameter);
    ASSERT_TRUE(request) << row.open_parameter;
    EXPECT_EQ(request->section, row.section);
    EXPECT_EQ(request->title, std::string("Locate ") + row.name);
  }
}

TEST(LocateParameters, OthersAreRefusedAndTheUsageListsTheAcceptedOnes) {
  for (const char* bad : {"", "1_1App", "1_9App", "4_5App", "1-2App", "1_2app", "1_2App ", "x"}) {
    EXPECT_FALSE(companions::ParseLocateParameter(bad)) << bad;
  }
  const std::string usage = companions::UsageText();
  for (const design::PageRow& row : design::kPages) {
    EXPECT_NE(usage.find(row.open_parameter), std::string::npos) << row.open_parameter;
  }
  for (const design::UtilityRow& row : design::kUtilities) {
    EXPECT_NE(usage.find(row.open_parameter), std::string::npos) << row.open_parameter;
  }
}

TEST(LocatedPath, IsWrittenAsTheHostWritesItAndFailuresNameTheFile) {
  doubles::FakeProfile profile;
  companions::LocateRequest request{"1-4App", "Locate Storm"};
  const std::string store = companions::StoreFileIn("C:\\Users\\ann\\Temp\\");
  EXPECT_EQ(store, "C:\\Users\\ann\\Temp\\Mirovanta2.Dat");
  std::string error;
  ASSERT_TRUE(companions::StoreLocatedPath(profile, store, request, "D:\\Storm\\Storm.exe", error));
  EXPECT_EQ(profile.sections["1-4App"]["Path"], "D:\\Storm\\Storm.exe");
  EXPECT_EQ(profile.calls.back(), "flush " + store);
  profile.fail_writes = true;
  EXPECT_FALSE(companions::StoreLocatedPath(profile, store, request, "E:\\x.exe", error));
  EXPECT_EQ(error, "Unable to write to " + store);
  EXPECT_EQ(profile.sections["1-4App"]["Path"], "D:\\Storm\\Storm.exe") << "nothing else is lost";
}

TEST(LaserDot, Is24PixelsAt100PercentAndScalesWithDpi) {
  EXPECT_EQ(companions::DotDiameterFor(96), 24);
  EXPECT_EQ(companions::DotDiameterFor(144), 36);
  EXPECT_EQ(companions::DotDiameterFor(192), 48);
  EXPECT_EQ(companions::DotDiameterFor(0), 24);
}

TEST(LaserDot, IsAnOpaqueRedCoreFadingToNothingAtItsEdges) {
  const companions::DotImage dot = companions::RenderDot(24);
  ASSERT_GE(dot.size, 48);
  auto at = [&](int x, int y) { return dot.pixels[static_cast<std::size_t>(y) * dot.size + x]; };
  const int c = dot.size / 2;
  EXPECT_EQ(at(c, c) >> 24, 255u) << "opaque centre";
  EXPECT_EQ(at(0, 0), 0u) << "transparent corner";
  EXPECT_EQ(at(c, 0) >> 24, 0u) << "nothing beyond the glow";
  unsigned previous = 256;
  for (int x = c; x < dot.size; ++x) {
    const std::uint32_t pixel = at(x, c);
    const unsigned alpha = pixel >> 24;
    EXPECT_LE(alpha, previous) << "alpha never rises outwards";
    previous = alpha;
    for (int shift : {0, 8, 16}) EXPECT_LE((pixel >> shift) & 0xFF, alpha) << "premultiplied";
  }
  const std::uint32_t rim = at(c + 9, c);  // inside the dot, off the white-hot centre
  EXPECT_GT((rim >> 16) & 0xFF, 2 * ((rim >> 8) & 0xFF)) << "red";
}

// The dot's window is placed so that the dot's centre pixel is the pointer's
// pixel, on any monitor, also left of or above the primary one.
TEST(LaserDot, ItsWindowIsCentredOnThePointer) {
  for (int dpi : {96, 120, 144, 192}) {
    const companions::DotImage dot = companions::RenderDot(companions::DotDiameterFor(dpi));
    ASSERT_EQ(dot.size % 2, 1) << "an odd size has a centre pixel";
    for (long x : {0L, 400L, -1920L, 3839L}) {
      const companions::ScreenPoint corner = companions::DotOrigin(x, -300, dot.size);
      EXPECT_EQ(corner.x + dot.size / 2, x) << dpi;
      EXPECT_EQ(corner.y + dot.size / 2, -300) << dpi;
      // The brightest pixel of the image is the one on the pointer.
      const std::size_t centre = static_cast<std::size_t>(dot.size / 2) * dot.size + dot.size / 2;
      EXPECT_EQ(dot.pixels[centre] >> 24, 0xFFu) << dpi;
    }
  }
}

}  // namespace

namespace {

TEST(LaserPace, TheDotLooksOnceAFrameOfTheDisplayNeverMoreOften) {
  struct Case {
    int hertz;
    unsigned period_ms;
  };
  const Case cases[] = {
      {0, 16},  {1, 16},   // the display's default rate, which it does not tell
      {60, 17}, {59, 17},  // 16.7 ms and 16.9 ms frames
      {75, 14}, {144, 7}, {30, 34}, {1000, 1}, {2000, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(companions::FramePeriodMs(c.hertz), c.period_ms) << c.hertz << " Hz";
    EXPECT_GE(companions::FramePeriodMs(c.hertz) * static_cast<unsigned>(std::max(c.hertz, 1)),
              c.hertz > 1 ? 1000u : 1u)
        << "no more looks a second than frames";
  }
}

TEST(LaserPace, ItRestsAfterHalfASecondWhateverTheDisplaysPace) {
  EXPECT_EQ(companions::TicksBeforeRest(16), 31);
  EXPECT_EQ(companions::TicksBeforeRest(7), 71);
  EXPECT_EQ(companions::TicksBeforeRest(0), 31) << "a period never read counts as a 60 Hz frame";
}

}  // namespace
