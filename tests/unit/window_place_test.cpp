// Where a question pops up: never under the pointer that answered the last.
#include <gtest/gtest.h>

#include "platform/window_place.h"

namespace {

using platform::PlaceAwayFrom;
using platform::Rect;

constexpr Rect kScreen{0, 0, 1280, 984};  // a work area above the taskbar
constexpr int kWidth = 460, kHeight = 240, kMargin = 24;

bool Covers(const Rect& r, int x, int y, int margin) {
  return x > r.left - margin && x < r.right + margin && y > r.top - margin && y < r.bottom + margin;
}

TEST(WindowPlace, CentredUnlessThePointerIsThereThenBesideIt) {
  const struct {
    int x, y;
    Rect expected;
  } cases[] = {
      {10, 10, {410, 372, 870, 612}},    // far away: centred
      {640, 492, {410, 228, 870, 468}},  // at the centre: above
      {640, 400, {410, 136, 870, 376}},  // in its upper part: above it too
      {640, 980, {410, 372, 870, 612}},  // close under the centred place: centred
      {640, 600, {410, 336, 870, 576}},  // in its lower part: above
  };
  for (const auto& c : cases) {
    const Rect place = PlaceAwayFrom(kScreen, kWidth, kHeight, c.x, c.y, kMargin);
    EXPECT_FALSE(Covers(place, c.x, c.y, kMargin)) << c.x << "," << c.y;
    EXPECT_EQ(place.right - place.left, kWidth);
    EXPECT_EQ(place.bottom - place.top, kHeight);
    EXPECT_EQ(place.top, c.expected.top) << c.x << "," << c.y;
    EXPECT_EQ(place.left, c.expected.left) << c.x << "," << c.y;
  }
}

TEST(WindowPlace, ASmallScreenTriesEverySideAndElseCentres) {
  // No room above a pointer high in the window: below it.
  const Rect low{0, 0, 1280, 600};
  const Rect below = PlaceAwayFrom(low, kWidth, kHeight, 640, 200, kMargin);
  EXPECT_EQ(below.top, 224);
  // No room above or below a pointer in the middle: left or right of it.
  const Rect wide{0, 0, 1600, 300};
  const Rect beside = PlaceAwayFrom(wide, kWidth, kHeight, 800, 150, kMargin);
  EXPECT_FALSE(Covers(beside, 800, 150, kMargin));
  EXPECT_GE(beside.left, 0);
  EXPECT_LE(beside.right, 1600);
  // Nowhere to go: centred all the same, on the screen.
  const Rect tiny{0, 0, 500, 260};
  const Rect centred = PlaceAwayFrom(tiny, kWidth, kHeight, 250, 130, kMargin);
  EXPECT_EQ(centred.left, 20);
  EXPECT_EQ(centred.top, 10);
}

}  // namespace
