#include "protocol/command_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/doubles/recording_handlers.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
  std::vector<std::string> calls;
};

Outcome Handle(const Bytes& datagram) {
  doubles::RecordingHandlers handlers;
  handlers.Handle(datagram.data(), datagram.size());
  return {handlers.calls};
}

struct Case {
  const char* name;
  Bytes datagram;
  std::vector<std::string> calls;
};

class DispatchTable : public testing::TestWithParam<Case> {};

TEST_P(DispatchTable, RoutesToExactlyTheExpectedHandler) {
  Outcome outcome = Handle(GetParam().datagram);
  EXPECT_EQ(outcome.calls, GetParam().calls);
}

const std::vector<std::string> kNothing;

INSTANTIATE_TEST_SUITE_P(
    Commands, DispatchTable,
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

TEST(WorkingCopy, TextOfAFullBufferEndsAtTheDatagramEnd) {
  Bytes datagram = {0x15, 0x65, 0x02, 0x00};
  datagram.resize(8192, 'z');
  doubles::RecordingHandlers handlers;
  handlers.Handle(datagram.data(), datagram.size());
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0], "type \"" + std::string(8188, 'z') + "\"");
}

TEST(HandlerErrors, LeaveTheDispatcherUncaught) {
  struct Throwing : doubles::RecordingHandlers {
    void LeftClick() override { throw std::runtime_error("refused"); }
  } handlers;
  Bytes datagram = {0x15, 0x65, 0x03, 0x02, 0x00};
  EXPECT_THROW(handlers.Handle(datagram.data(), datagram.size()), std::runtime_error);
}

}  // namespace
