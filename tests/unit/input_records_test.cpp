// The input records and the four send operations, as the start-up leaves them.
#include <gtest/gtest.h>

#include "input/virtual_keys.h"
#include "tests/doubles/media_fixture.h"
#include "tests/doubles/rooms.h"
#include "tests/doubles/rooms.h"

namespace {

using platform::TInput;

// "vk down", "vk up" with the scan code and extended flag checked on the way.
std::vector<std::string> Events(const std::vector<TInput>& records) {
  std::vector<std::string> events;
  for (const TInput& record : records) {
    EXPECT_EQ(record.type, platform::kInputKeyboard);
    EXPECT_EQ(record.ki.wScan, record.ki.wVk + 0x100) << "scan code from the keyboard layout";
    const bool extended = (record.ki.dwFlags & platform::kKeyEventExtendedKey) != 0;
    EXPECT_EQ(extended, input::vk::IsExtendedKey(record.ki.wVk)) << record.ki.wVk;
    EXPECT_EQ(record.ki.dwFlags & ~3u, 0u);
    EXPECT_EQ(record.ki.time, 0u);
    EXPECT_EQ(record.ki.dwExtraInfo, 0u);
    events.push_back(std::to_string(record.ki.wVk) +
                     ((record.ki.dwFlags & platform::kKeyEventKeyUp) ? " up" : " down"));
  }
  return events;
}

using Strings = std::vector<std::string>;

TEST(InputRecords, StartWithDownSlotsThenUpSlotsAndAnIdleMouse) {
  doubles::MediaFixture t;
  for (std::size_t slot = 0; slot < 6; ++slot) {
    EXPECT_EQ(t.Input().Keyboard.KeyInputs[slot].type, platform::kInputKeyboard);
    EXPECT_EQ(t.Input().Keyboard.KeyInputs[slot].ki.wVk, 0);
    EXPECT_EQ(t.Input().Keyboard.KeyInputs[slot].ki.dwFlags,
              slot < 3 ? 0u : platform::kKeyEventKeyUp);
  }
  EXPECT_EQ(t.Input().Keyboard.MouseInput.type, platform::kInputMouse);
  EXPECT_EQ(t.Input().Keyboard.MouseInput.mi.dwFlags, 0u);
  EXPECT_EQ(t.Input().Keyboard.MouseInput.mi.mouseData, 0);
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
  EXPECT_EQ(room.Keyboard.KeyInputs[4].ki.wVk, 0x10);
  EXPECT_EQ(room.Keyboard.KeyInputs[5].ki.wVk, 0x11);
}

TEST(SendOperations, NavigationAndWindowsKeysCarryTheExtendedFlag) {
  doubles::InputRoom t;
  doubles::InputRoom& room = t;
  for (std::uint16_t key : {input::vk::Up, input::vk::PgDn, input::vk::Del, input::vk::Win,
                            input::vk::Home, input::vk::Insert}) {
    room.Keyboard.SendKey(key);
    const auto& call = t.input.calls.back();
    EXPECT_EQ(call[0].ki.dwFlags, platform::kKeyEventExtendedKey) << key;
    EXPECT_EQ(call[1].ki.dwFlags, platform::kKeyEventExtendedKey | platform::kKeyEventKeyUp) << key;
  }
  room.Keyboard.SendChord2(input::vk::Ctrl, input::vk::Left);
  const auto& chord = t.input.calls.back();
  EXPECT_EQ(chord[0].ki.dwFlags, 0u) << "Ctrl is not an extended key";
  EXPECT_EQ(chord[1].ki.dwFlags, platform::kKeyEventExtendedKey);
  room.Keyboard.SendKey(input::vk::D8);
  EXPECT_EQ(t.input.calls.back()[0].ki.dwFlags, 0u);
}

TEST(SendOperations, MouseRecordsCarryOnlyWhatTheirEventNeeds) {
  doubles::InputRoom t;
  doubles::InputRoom& room = t;
  room.TextAndPointer.RightClick();
  room.TextAndPointer.TurnWheel(true);
  room.TextAndPointer.LeftClick();
  room.TextAndPointer.TurnWheel(false);
  ASSERT_EQ(t.input.calls.size(), 6u);
  struct Expected {
    std::uint32_t flags;
    std::int32_t data;
  };
  const Expected expected[] = {{0x0008, 0}, {0x0010, 0}, {0x0800, -120},
                               {0x0002, 0}, {0x0004, 0}, {0x0800, 120}};
  for (std::size_t i = 0; i < 6; ++i) {
    ASSERT_EQ(t.input.calls[i].size(), 1u);
    const TInput& record = t.input.calls[i][0];
    EXPECT_EQ(record.type, platform::kInputMouse);
    EXPECT_EQ(record.mi.dwFlags, expected[i].flags) << i;
    EXPECT_EQ(record.mi.mouseData, expected[i].data) << i;
    EXPECT_EQ(record.mi.dx, 0);
    EXPECT_EQ(record.mi.dy, 0);
  }
}

}  // namespace
