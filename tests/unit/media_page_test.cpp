// The media pages through the media pages: each kind of cell, the properties of the
// table that a retyped copy would not check, and page 8's player flag.
#include <gtest/gtest.h>

#include <set>

#include "platform/virtual_keys.h"
#include "media/key_map.h"
#include "tests/doubles/media_fixture.h"
#include "tools/remote/command_encoding.h"

namespace {

using media::ActionKind;
using media::LookUpButton;

// The keys one button sends on one page, as "vk+vk+vk" of the pressed order.
std::string KeysOf(std::uint8_t page, std::uint8_t code, bool wmp9or10 = false) {
  doubles::MediaFixture t;
  t.Launch().Pages.IsWmp9or10 = wmp9or10;
  t.Media().MediaPageButton(page, code);
  if (t.input.calls.empty()) return "";
  std::string keys;
  const auto& records = t.input.calls.back();
  for (std::size_t i = 0; i < records.size() / 2; ++i) {
    if (!keys.empty()) keys += "+";
    keys += std::to_string(records[i].virtual_key);
  }
  return keys;
}

std::string Vk(std::initializer_list<std::uint16_t> keys) {
  std::string text;
  for (std::uint16_t key : keys) {
    if (!text.empty()) text += '+';
    text += std::to_string(key);
  }
  return text;
}

TEST(MediaPages, PagesOutsideOneToEightAndUndefinedCodesDoNothing) {
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(LookUpButton(0, static_cast<std::uint8_t>(code)).kind, ActionKind::Nothing);
    EXPECT_EQ(LookUpButton(9, static_cast<std::uint8_t>(code)).kind, ActionKind::Nothing);
  }
  for (std::uint8_t page = 1; page <= 8; ++page) {
    for (std::uint8_t code : {0x00, 0x01, 0x03, 0x0F, 0x19, 0x1F, 0x28, 0x2F, 0x33, 0x40, 0x43,
                              0x4F, 0x5A, 0x5F, 0x62, 0x6F, 0x72, 0xEF}) {
      EXPECT_EQ(LookUpButton(page, code).kind, ActionKind::Nothing)
          << int(page) << " " << int(code);
    }
  }
}

TEST(MediaPages, TheCommonRowsAreTheSameOnEveryPage) {
  for (std::uint8_t page = 1; page <= 8; ++page) {
    EXPECT_EQ(KeysOf(page, 0x41), Vk({platform::vk::PgDn})) << "the lower code sends Page Down";
    EXPECT_EQ(KeysOf(page, 0x42), Vk({platform::vk::PgUp}));
    for (int digit = 0; digit <= 9; ++digit) {
      EXPECT_EQ(KeysOf(page, static_cast<std::uint8_t>(0x50 + digit)),
                Vk({static_cast<std::uint16_t>(0x30 + digit)}));
    }
    for (int f = 1; f <= 12; ++f) {
      EXPECT_EQ(KeysOf(page, static_cast<std::uint8_t>(0xF0 + f)),
                Vk({static_cast<std::uint16_t>(0x6F + f)}));
    }
    EXPECT_EQ(KeysOf(page, 0x60), Vk({platform::vk::Shift, platform::vk::D8}));
    EXPECT_EQ(KeysOf(page, 0x61), Vk({platform::vk::Shift, platform::vk::D3}));
    EXPECT_EQ(KeysOf(page, 0x71), KeysOf(page, 0x10)) << "0x71 is the same key as 0x10";
    EXPECT_EQ(KeysOf(page, 0xF0), Vk({platform::vk::Esc}));
    EXPECT_EQ(LookUpButton(page, 0xFF).kind, ActionKind::Close);
  }
}

TEST(MediaPages, WherePagesDifferTheyDifferAsStated) {
  for (std::uint8_t page = 3; page <= 8; ++page) {
    EXPECT_EQ(KeysOf(page, 0x20), KeysOf(page, 0x22)) << int(page);
  }
  EXPECT_EQ(KeysOf(2, 0x20), Vk({platform::vk::Enter}));
  EXPECT_EQ(KeysOf(2, 0x22), Vk({platform::vk::Space}));
  EXPECT_NE(KeysOf(1, 0x20), KeysOf(1, 0x22));
  // Page 3 swaps Page Up and Page Down against pages 1, 4 and 6.
  EXPECT_EQ(KeysOf(3, 0x25), Vk({platform::vk::PgDn}));
  EXPECT_EQ(KeysOf(3, 0x26), Vk({platform::vk::PgUp}));
  for (std::uint8_t page : {1, 4, 6}) {
    EXPECT_EQ(KeysOf(page, 0x25), Vk({platform::vk::PgUp}));
    EXPECT_EQ(KeysOf(page, 0x26), Vk({platform::vk::PgDn}));
  }
  // Pages 3 and 4 differ only in 0x21, 0x25, 0x26 and 0x27 (launch and close aside).
  for (int code = 0; code < 256; ++code) {
    const auto c = static_cast<std::uint8_t>(code);
    const bool differs = LookUpButton(3, c) != LookUpButton(4, c);
    EXPECT_EQ(differs, c == 0x21 || c == 0x25 || c == 0x26 || c == 0x27) << code;
  }
  EXPECT_EQ(KeysOf(5, 0x25), "");
  EXPECT_EQ(KeysOf(5, 0x26), "");
  for (std::uint8_t code : {0x27, 0xFD, 0xFE}) {
    EXPECT_EQ(LookUpButton(7, code).kind, ActionKind::Nothing) << int(code);
  }
  EXPECT_EQ(KeysOf(1, 0x16), Vk({platform::vk::Ctrl, platform::vk::D}));
  for (std::uint8_t page = 2; page <= 8; ++page)
    EXPECT_EQ(KeysOf(page, 0x16), Vk({platform::vk::Esc}));
  EXPECT_EQ(KeysOf(1, 0x31), Vk({platform::vk::F10}));
  EXPECT_EQ(KeysOf(1, 0x32), Vk({platform::vk::F9}));
}

TEST(MediaPages, LaunchButtonIsAChordOnPageOneAndALaunchElsewhere) {
  EXPECT_EQ(KeysOf(1, 0x02), Vk({platform::vk::Win, platform::vk::Alt, platform::vk::Enter}));
  for (std::uint8_t page = 2; page <= 8; ++page) {
    EXPECT_EQ(LookUpButton(page, 0x02).kind, ActionKind::Launch);
  }
}

TEST(MediaPages, PageEightFunctionKeysFollowThePlayerVersion) {
  EXPECT_EQ(KeysOf(8, 0x30), Vk({platform::vk::F7}));
  EXPECT_EQ(KeysOf(8, 0x31), Vk({platform::vk::F9}));
  EXPECT_EQ(KeysOf(8, 0x32), Vk({platform::vk::F8}));
  EXPECT_EQ(KeysOf(8, 0x30, true), Vk({platform::vk::F8}));
  EXPECT_EQ(KeysOf(8, 0x31, true), Vk({platform::vk::F10}));
  EXPECT_EQ(KeysOf(8, 0x32, true), Vk({platform::vk::F9}));
  EXPECT_EQ(KeysOf(1, 0x30, true), KeysOf(1, 0x30)) << "the flag is page 8's alone";
}

TEST(MediaPages, EveryKeyCellIsExactlyOneSendWithNothingLeftPressed) {
  for (std::uint8_t page = 1; page <= 8; ++page) {
    for (int code = 0; code < 256; ++code) {
      const media::Action action = LookUpButton(page, static_cast<std::uint8_t>(code));
      if (action.kind != ActionKind::Key && action.kind != ActionKind::Chord2 &&
          action.kind != ActionKind::Chord3 && action.kind != ActionKind::PlayerKey) {
        continue;
      }
      doubles::MediaFixture t;
      t.Media().MediaPageButton(page, static_cast<std::uint8_t>(code));
      ASSERT_EQ(t.input.calls.size(), 1u) << int(page) << " " << code;
      int pressed = 0;
      for (const platform::KeyStroke& stroke : t.input.calls[0]) {
        pressed += stroke.up ? -1 : 1;
        EXPECT_NE(stroke.virtual_key, 0);
      }
      EXPECT_EQ(pressed, 0) << int(page) << " " << code;
    }
  }
}

// The client and the key maps read the codes from one table: every button the
// client can name does something on some page, and every code a page maps has
// a name.
TEST(MediaPages, EveryButtonTheClientNamesIsMappedAndEveryMappedCodeHasAName) {
  std::set<int> named;
  for (const std::string& name : remote::EveryButtonName()) {
    const auto code = remote::ButtonCode(name);
    ASSERT_TRUE(code.has_value()) << name;
    EXPECT_TRUE(named.insert(*code).second) << name << " names a code twice";
  }
  for (int code = 0; code < 256; ++code) {
    bool mapped = false;
    for (std::uint8_t page = 1; page <= 8; ++page) {
      mapped |= LookUpButton(page, static_cast<std::uint8_t>(code)).kind != ActionKind::Nothing;
    }
    EXPECT_EQ(mapped, named.count(code) == 1) << "code " << code;
  }
}

}  // namespace
