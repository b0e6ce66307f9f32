// A remote command in meanings: what the app's datagram and a browser's
// message decode into, and the router that hands each to its owner.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "browser/browser_commands.h"
#include "browser/page_keys.h"
#include "platform/virtual_keys.h"
#include "service/command_router.h"
#include "service/datagram_command.h"
#include "tests/doubles/ask_words.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
  std::vector<std::string> calls;
};

// The datagram's command as words; nothing when it asks for nothing.
Outcome Handle(const Bytes& datagram) {
  const std::string words =
      doubles::Words(service::DecodeDatagram(datagram.data(), datagram.size()));
  return {words.empty() ? std::vector<std::string>{} : std::vector<std::string>{words}};
}

struct Case {
  const char* name;
  Bytes datagram;
  std::vector<std::string> calls;
};

class DatagramTable : public testing::TestWithParam<Case> {};

TEST_P(DatagramTable, DecodesToExactlyTheExpectedCommand) {
  Outcome outcome = Handle(GetParam().datagram);
  EXPECT_EQ(outcome.calls, GetParam().calls);
}

const std::vector<std::string> kNothing;

INSTANTIATE_TEST_SUITE_P(
    Commands, DatagramTable,
    testing::Values(
        Case{"media_page_3_space", {0x15, 0x65, 0x01, 0x03, 0x20}, {"page 3 code 32"}},
        Case{"media_page_1", {0x15, 0x65, 0x01, 0x01, 0x02}, {"page 1 code 2"}},
        Case{"media_page_8_code_255", {0x15, 0x65, 0x01, 0x08, 0xFF}, {"page 8 code 255"}},
        Case{"media_longer_than_five",
             {0x15, 0x65, 0x01, 0x02, 0x10, 0x99, 0x98},
             {"page 2 code 16"}},
        Case{"media_page_0_ignored", {0x15, 0x65, 0x01, 0x00, 0x10}, kNothing},
        Case{"media_page_9_ignored", {0x15, 0x65, 0x01, 0x09, 0x10}, kNothing},
        Case{"text", {0x15, 0x65, 0x02, 0x00, 'A', 'B', 'C'}, {"type \"ABC\""}},
        Case{"text_cut_at_zero", {0x15, 0x65, 0x02, 0x01, 'A', 0x00, 'B'}, {"type \"A\""}},
        Case{"text_empty", {0x15, 0x65, 0x02, 0x07, 0x00}, {"type \"\""}},
        Case{"text_selector_not_examined", {0x15, 0x65, 0x02, 0xFF, 'x'}, {"type \"x\""}},
        Case{"move_missing_dy_reads_zero", {0x15, 0x65, 0x03, 0x01, 0x05}, {"move 5 0"}},
        Case{"move_sign_extended", {0x15, 0x65, 0x03, 0x01, 0xFF, 0x80}, {"move -1 -128"}},
        Case{"move_largest", {0x15, 0x65, 0x03, 0x01, 0x7F, 0x7F}, {"move 127 127"}},
        Case{"left_click", {0x15, 0x65, 0x03, 0x02, 0x00}, {"left click"}},
        Case{"right_click", {0x15, 0x65, 0x03, 0x03, 0x00}, {"right click"}},
        Case{"wheel_toward", {0x15, 0x65, 0x03, 0x04, 0x00, 0x01}, {"wheel toward"}},
        Case{"wheel_away_two", {0x15, 0x65, 0x03, 0x04, 0x00, 0x02}, {"wheel away"}},
        Case{"wheel_away_missing_byte", {0x15, 0x65, 0x03, 0x04, 0x00}, {"wheel away"}},
        Case{"pointer_selector_5_ignored", {0x15, 0x65, 0x03, 0x05, 0x00}, kNothing},
        Case{"pointer_selector_0_ignored", {0x15, 0x65, 0x03, 0x00, 0x00}, kNothing},
        Case{"utility_launch", {0x15, 0x65, 0x04, 0x01, 0x02}, {"launch utility 1"}},
        Case{"utility_close", {0x15, 0x65, 0x04, 0x04, 0xFF}, {"close utility 4"}},
        Case{"utility_other_action", {0x15, 0x65, 0x04, 0x02, 0x01}, kNothing},
        Case{"utility_selector_0", {0x15, 0x65, 0x04, 0x00, 0x02}, kNothing},
        Case{"utility_selector_5", {0x15, 0x65, 0x04, 0x05, 0x02}, kNothing},
        Case{"group_0", {0x15, 0x65, 0x00, 0x01, 0x02}, kNothing},
        Case{"group_5", {0x15, 0x65, 0x05, 0x01, 0x02}, kNothing},
        Case{"group_0x80_after_probe_bytes", {0x15, 0x65, 0x80, 0x00, 0x00}, kNothing},
        Case{"headers_swapped", {0x65, 0x15, 0x03, 0x02, 0x00}, kNothing},
        Case{"four_bytes_never_a_command", {0x15, 0x65, 0x03, 0x02}, kNothing},
        Case{"empty", {}, kNothing}, Case{"one_byte", {0x15}, kNothing},
        Case{"two_bytes", {0x15, 0x65}, kNothing}),
    [](const testing::TestParamInfo<Case>& case_info) {
      return std::string(case_info.param.name);
    });

TEST(Probe, IsNeverACommand) {
  for (const Bytes& datagram : {Bytes{0x15, 0x65, 0x80}, Bytes{0x15, 0x65, 0x81},
                                Bytes{0x15, 0x65, 0x00}, Bytes{0x65, 0x15, 0x80}}) {
    EXPECT_TRUE(Handle(datagram).calls.empty());
  }
}

TEST(DatagramText, OfAFullBufferEndsAtTheDatagramEnd) {
  Bytes datagram = {0x15, 0x65, 0x02, 0x00};
  datagram.resize(8192, 'z');
  const std::vector<std::string> calls = Handle(datagram).calls;
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], "type \"" + std::string(8188, 'z') + "\"");
}

// An owner that writes down what it is handed, and says that clicks send input.
struct Owner final : service::ICommandOwner {
  std::vector<std::string> seen;
  bool throws = false;
  bool SendsInput(const service::Ask& ask) const override {
    return std::holds_alternative<service::ButtonClick>(ask);
  }
  void CarryOut(const service::RemoteCommand& command) override {
    if (throws) throw std::runtime_error("refused");
    seen.push_back(doubles::Words(command.ask) + " from " + command.from.device.hardware);
  }
};

TEST(CommandRouter, HandsEachAlternativeToItsOwnerOnly) {
  service::TCommandRouter router;
  Owner pointer, utilities;
  router.Register<service::ButtonClick>(pointer);
  router.Register<service::UtilityAction>(utilities);
  router.CarryOut({service::Origin::Browser(7, "b1"), service::ButtonClick{true}});
  router.CarryOut({service::Origin::App(7), service::UtilityAction{2, false}});
  router.CarryOut({service::Origin::App(7), service::WheelTurn{1}});  // nobody's: nothing
  EXPECT_EQ(pointer.seen, (std::vector<std::string>{"right click from browser b1"}));
  EXPECT_EQ(utilities.seen, (std::vector<std::string>{"close utility 2 from "}));
  EXPECT_TRUE(router.SendsInput(service::ButtonClick{}));
  EXPECT_FALSE(router.SendsInput(service::UtilityAction{}));  // its owner says not
  EXPECT_FALSE(router.SendsInput(service::WheelTurn{}));      // registered by none
}

TEST(CommandRouter, LeavesAnOwnersErrorUncaught) {
  service::TCommandRouter router;
  Owner throwing;
  throwing.throws = true;
  router.Register<service::ButtonClick>(throwing);
  EXPECT_THROW(router.CarryOut({service::Origin::App(1), service::ButtonClick{}}),
               std::runtime_error);
}

// A browser's message: each kind, its bounds, and what means nothing.
TEST(BrowserCommands, DecodeAsTheTableSays) {
  using platform::vk::Alt;
  using platform::vk::Tab;
  struct Message {
    Bytes payload;
    std::string words;  // empty: means nothing
  };
  const std::string alt_tab = "key " + std::to_string(Alt) + "+" + std::to_string(Tab);
  const Message cases[] = {
      {{'M', 0x00, 0x05, 0xff, 0xfd}, "move 5 -3"},
      {{'M', 0x00, 0x05, 0xff}, ""},
      {{'M', 0x80, 0x00, 0x7f, 0xff}, "move -32768 32767"},
      {{'C', 0}, "left click"},
      {{'C', 1}, "right click"},
      {{'C', 2}, ""},
      {{'B', 1, 1}, "right down"},
      {{'B', 0, 0}, "left up"},
      {{'B', 1, 2}, ""},
      {{'W', 0xfe}, "wheel -2"},
      {{'W', 0x01}, "wheel away"},
      {{'W', 0}, ""},
      {{'K', 0}, "key " + std::to_string(platform::vk::Esc)},
      {{'K', 9}, alt_tab},
      {{'K', 15}, "key " + std::to_string(platform::vk::VolumeMute)},
      {{'K', 16}, ""},
      {{'K'}, ""},
      {{'L', 1}, "laser on"},
      {{'L', 0}, "laser off"},
      {{'L', 2}, ""},
      {{'P', 3, 0x20}, "page 3 code 32"},
      {{'P', 8, 0xff}, "page 8 code 255"},
      {{'P', 1, 0x00}, "page 1 code 0"},  // a dash of the key map: its owner does nothing
      {{'P', 0, 0x20}, ""},
      {{'P', 9, 0x20}, ""},
      {{'P', 3}, ""},
      {{'U', 1, 1}, "launch utility 1"},
      {{'U', 4, 0}, "close utility 4"},
      {{'U', 5, 1}, ""},
      {{'U', 0, 1}, ""},
      {{'U', 2, 2}, ""},
      {{'U', 2, 1, 0}, ""},
      {{'T', 'h', 'i'}, "type utf-8 \"hi\""},
      {{'T'}, ""},
      {{'T', 'a', 0, 'b'}, ""},
      {{'T', 0xc0, 0x80}, ""},        // an overlong zero
      {{'T', 0xed, 0xa0, 0x80}, ""},  // a lone surrogate
      {{'T', 0xe2, 0x82}, ""},        // cut short
      {{'T', 0xf0, 0x9f, 0x98, 0x80}, "type utf-8 \"\xF0\x9F\x98\x80\""},
      {{'X'}, ""},
      {{}, ""},
  };
  for (const Message& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.payload));
    const auto command = browser::DecodeBrowserCommand(c.payload);
    ASSERT_EQ(command.has_value(), !c.words.empty());
    if (command) {
      EXPECT_EQ(doubles::Words(*command), c.words);
    }
  }
  EXPECT_EQ(browser::PageKeys().size(), 16u);
  Bytes longest(1 + browser::kLongestBrowserText, 'a');
  longest[0] = 'T';
  EXPECT_TRUE(browser::DecodeBrowserCommand(longest));
  longest.push_back('a');
  EXPECT_FALSE(browser::DecodeBrowserCommand(longest));
}

}  // namespace
