// The companion programs' logic: Open.exe's parameter and store write, and
// the laser dot's image.
#include <gtest/gtest.h>

#include "companions/laser/dot_image.h"
#include "companions/open/locate_request.h"
#include "tests/doubles/fake_system.h"

namespace {

struct ParameterCase {
  const char* parameter;
  const char* section;
  const char* title;
};

class LocateParameters : public testing::TestWithParam<ParameterCase> {};

TEST_P(LocateParameters, NameTheSectionAndTheApplication) {
  auto request = companions::ParseLocateParameter(GetParam().parameter);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->section, GetParam().section);
  EXPECT_EQ(request->title, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Every, LocateParameters,
    testing::Values(ParameterCase{"1_2App", "1-2App", "Locate PowerDVD 10"},
                    ParameterCase{"1_3App", "1-3App", "Locate Media Player Classic"},
                    ParameterCase{"1_4App", "1-4App", "Locate Storm"},
                    ParameterCase{"1_5App", "1-5App", "Locate PPStream"},
                    ParameterCase{"1_6App", "1-6App", "Locate KMPlayer"},
                    ParameterCase{"1_7App", "1-7App", "Locate TTPlayer"},
                    ParameterCase{"1_8App", "1-8App", "Locate Windows Media Player"},
                    ParameterCase{"4_1App", "4-1App", "Locate Orlemba"},
                    ParameterCase{"4_2App", "4-2App", "Locate QUELLIN"},
                    ParameterCase{"4_3App", "4-3App", "Locate Brisana"},
                    ParameterCase{"4_4App", "4-4App", "Locate Feyrun"}),
    [](const testing::TestParamInfo<ParameterCase>& case_info) {
      return std::string(case_info.param.parameter);
    });

TEST(LocateParameters, OthersAreRefusedAndTheUsageListsTheAcceptedOnes) {
  for (const char* bad : {"", "1_1App", "1_9App", "4_5App", "1-2App", "1_2app", "1_2App ", "x"}) {
    EXPECT_FALSE(companions::ParseLocateParameter(bad)) << bad;
  }
  const std::string usage = companions::UsageText();
  for (const char* good : {"1_2App", "1_8App", "4_1App", "4_4App"}) {
    EXPECT_NE(usage.find(good), std::string::npos) << good;
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

}  // namespace
