// The input records and the four send operations, as the start-up leaves them.
#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "tests/doubles/media_fixture.h"
#include "tests/doubles/rooms.h"

namespace {

using platform::KeyStroke;

// "vk down", "vk up" with the scan code and extended flag checked on the way.
std::vector<std::string> Events(const doubles::InputCall& call) {
  EXPECT_FALSE(call.pointer.has_value());
  std::vector<std::string> events;
  for (const KeyStroke& stroke : call) {
    EXPECT_EQ(stroke.scan_code, stroke.virtual_key + 0x100) << "scan code from the keyboard layout";
    EXPECT_EQ(stroke.extended, platform::vk::IsExtendedKey(stroke.virtual_key))
        << stroke.virtual_key;
    events.push_back(std::to_string(stroke.virtual_key) + (stroke.up ? " up" : " down"));
  }
  return events;
}

using Strings = std::vector<std::string>;

TEST(InputRecords, StartWithDownSlotsThenUpSlotsAndAnIdleMouse) {
  doubles::MediaFixture t;
  for (std::size_t slot = 0; slot < 6; ++slot) {
    EXPECT_EQ(t.Input().Keyboard.KeyInputs[slot], (KeyStroke{0, 0, false, slot >= 3})) << slot;
  }
  EXPECT_EQ(t.Input().Keyboard.MouseInput, platform::PointerEvent{});
  EXPECT_EQ(t.Input().TextAndPointer.CursorPos.x, 0);
  EXPECT_EQ(t.Input().TextAndPointer.CursorPos.y, 0);
  EXPECT_EQ(t.Media().Laser.LaserWnd, 0);
  EXPECT_FALSE(t.Launch().Pages.IsWmp9or10);
}

TEST(SendOperations, EachIsOneCallReleasingInReverseOrder) {
  doubles::InputRoom t;
  doubles::InputRoom& room = t;
  room.Keyboard.SendChord3(0x11, 0x10, 0x42);
  room.Keyboard.SendKey(0x20);
  room.Keyboard.SendChord2(0x11, 0x56);
  ASSERT_EQ(t.input.calls.size(), 3u);
  EXPECT_EQ(Events(t.input.calls[0]),
            (Strings{"17 down", "16 down", "66 down", "66 up", "16 up", "17 up"}));
  EXPECT_EQ(Events(t.input.calls[1]), (Strings{"32 down", "32 up"}))
      << "a key after a three-key chord sends only its own two events";
  EXPECT_EQ(Events(t.input.calls[2]), (Strings{"17 down", "86 down", "86 up", "17 up"}));
  // The slots a short send leaves alone keep the chord's values.
  EXPECT_EQ(room.Keyboard.KeyInputs[4].virtual_key, 0x10);
  EXPECT_EQ(room.Keyboard.KeyInputs[5].virtual_key, 0x11);
}

// Windows takes a prefix of a call, or nothing: what it took down is let up
// again in one more call, and the caller hears of it.
TEST(SendOperations, AShortTakeLetsUpWhatWentDownAndIsTold) {
  struct Case {
    unsigned taken;
    Strings released;  // the second call's events; empty: no second call
  };
  const Case cases[] = {
      {0, {}},
      {1, {"17 up"}},
      {2, {"16 up", "17 up"}},
      {3, {"66 up", "16 up", "17 up"}},
      {4, {"16 up", "17 up"}},
      {5, {"17 up"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.taken);
    doubles::InputRoom room;
    int told = 0;
    room.Keyboard.OnNotTaken = [&told] { ++told; };
    room.input.take_at_most = c.taken;
    EXPECT_FALSE(room.Keyboard.SendChord3(0x11, 0x10, 0x42));
    EXPECT_EQ(told, 1);
    ASSERT_EQ(room.input.calls.size(), c.released.empty() ? 1u : 2u);
    if (!c.released.empty()) {
      EXPECT_EQ(Events(room.input.calls[1]), c.released);
    }
  }
  doubles::InputRoom room;
  int told = 0;
  room.Keyboard.OnNotTaken = [&told] { ++told; };
  EXPECT_TRUE(room.Keyboard.SendKey(0x20));
  room.input.pointer_taken = false;
  EXPECT_FALSE(room.Keyboard.SendMouse(platform::PointerAction::LeftDown, 0));
  EXPECT_EQ(told, 1) << "only what was not taken is told";
}

TEST(SendOperations, NavigationAndWindowsKeysCarryTheExtendedFlag) {
  doubles::InputRoom t;
  doubles::InputRoom& room = t;
  for (std::uint16_t key : {platform::vk::Up, platform::vk::PgDn, platform::vk::Del,
                            platform::vk::Win, platform::vk::Home, platform::vk::Insert}) {
    room.Keyboard.SendKey(key);
    const auto& call = t.input.calls.back();
    EXPECT_TRUE(call[0].extended && !call[0].up) << key;
    EXPECT_TRUE(call[1].extended && call[1].up) << key;
  }
  room.Keyboard.SendChord2(platform::vk::Ctrl, platform::vk::Left);
  const auto& chord = t.input.calls.back();
  EXPECT_FALSE(chord[0].extended) << "Ctrl is not an extended key";
  EXPECT_TRUE(chord[1].extended);
  room.Keyboard.SendKey(platform::vk::D8);
  EXPECT_FALSE(t.input.calls.back()[0].extended);
}

TEST(SendOperations, ClicksAreADownAndAnUpAndTheWheelANotchEachWay) {
  doubles::InputRoom t;
  doubles::InputRoom& room = t;
  room.TextAndPointer.RightClick();
  room.TextAndPointer.TurnWheel(true);
  room.TextAndPointer.LeftClick();
  room.TextAndPointer.TurnWheel(false);
  ASSERT_EQ(t.input.calls.size(), 6u);
  using platform::PointerAction;
  const platform::PointerEvent expected[] = {
      {PointerAction::RightDown, 0}, {PointerAction::RightUp, 0}, {PointerAction::Wheel, -120},
      {PointerAction::LeftDown, 0},  {PointerAction::LeftUp, 0},  {PointerAction::Wheel, 120}};
  for (std::size_t i = 0; i < 6; ++i) {
    ASSERT_TRUE(t.input.calls[i].pointer.has_value()) << i;
    EXPECT_EQ(*t.input.calls[i].pointer, expected[i]) << i;
  }
}

}  // namespace
