#include "tools/remote/command_encoding.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::string>;

struct Case {
  Words words;
  Bytes datagram;
};

class Encoding : public testing::TestWithParam<Case> {};

TEST_P(Encoding, PutsTheCommandOnTheWire) {
  std::string error;
  auto datagram = remote::EncodeCommand(GetParam().words, error);
  ASSERT_TRUE(datagram) << error;
  EXPECT_EQ(*datagram, GetParam().datagram);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Encoding,
    testing::Values(Case{{"page", "3", "play"}, {0x15, 0x65, 1, 3, 0x20}},
                    Case{{"page", "1", "launch"}, {0x15, 0x65, 1, 1, 0x02}},
                    Case{{"page", "8", "F12"}, {0x15, 0x65, 1, 8, 0xFC}},
                    Case{{"page", "2", "f1"}, {0x15, 0x65, 1, 2, 0xF1}},
                    Case{{"page", "5", "7"}, {0x15, 0x65, 1, 5, 0x57}},
                    Case{{"page", "6", "0x41"}, {0x15, 0x65, 1, 6, 0x41}},
                    Case{{"page", "4", "laser-on"}, {0x15, 0x65, 1, 4, 0xFD}},
                    Case{{"page", "4", "close"}, {0x15, 0x65, 1, 4, 0xFF}},
                    Case{{"type", "AB", "C"}, {0x15, 0x65, 2, 0, 'A', 'B', ' ', 'C'}},
                    Case{{"type", ""}, {0x15, 0x65, 2, 0, 0}},
                    Case{{"move", "-1", "-128"}, {0x15, 0x65, 3, 1, 0xFF, 0x80}},
                    Case{{"move", "127", "0"}, {0x15, 0x65, 3, 1, 0x7F, 0x00}},
                    Case{{"click", "left"}, {0x15, 0x65, 3, 2, 0}},
                    Case{{"click", "right"}, {0x15, 0x65, 3, 3, 0}},
                    Case{{"wheel", "down"}, {0x15, 0x65, 3, 4, 0, 1}},
                    Case{{"wheel", "up"}, {0x15, 0x65, 3, 4, 0, 2}},
                    Case{{"utility", "2", "launch"}, {0x15, 0x65, 4, 2, 0x02}},
                    Case{{"utility", "4", "close"}, {0x15, 0x65, 4, 4, 0xFF}},
                    Case{{"send", "15", "65", "80"}, {0x15, 0x65, 0x80}},
                    Case{{"send", "156580"}, {0x15, 0x65, 0x80}},
                    Case{{"send", "15 65  03\t02 00"}, {0x15, 0x65, 0x03, 0x02, 0x00}},
                    Case{{"send", "0x15", "0x65", "0x3"}, {0x15, 0x65, 0x03}}, Case{{"send"}, {}}),
    [](const testing::TestParamInfo<Case>& case_info) {
      // "page_3_play", "send_0x15_0x65_0x3": the words, with only letters and digits kept.
      std::string name;
      for (const std::string& word : case_info.param.words) {
        name += name.empty() ? "" : "_";
        for (char c : word) name += std::isalnum(static_cast<unsigned char>(c)) ? c : 'x';
      }
      return name + "_" + std::to_string(case_info.index);
    });

TEST(Encoding, RejectsWhatIsNotACommand) {
  const Words bad[] = {{},
                       {"jump"},
                       {"page", "0", "play"},
                       {"page", "9", "play"},
                       {"page", "3", "dance"},
                       {"page", "3", "f13"},
                       {"page", "3", "0x100"},
                       {"page", "3"},
                       {"move", "128", "0"},
                       {"move", "1"},
                       {"click", "middle"},
                       {"wheel", "sideways"},
                       {"utility", "5", "launch"},
                       {"utility", "1", "start"},
                       {"type"},
                       {"send", "zz"},
                       {"type", std::string(8189, 'x')}};
  for (const Words& words : bad) {
    std::string error;
    EXPECT_FALSE(remote::EncodeCommand(words, error)) << (words.empty() ? "" : words[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(Encoding, EveryNamedButtonHasItsOwnCode) {
  std::string names = remote::ButtonNames();
  std::vector<std::uint8_t> seen;
  std::size_t start = 0;
  while (true) {
    std::size_t end = names.find(' ', start);
    std::string name = names.substr(start, end - start);
    if (name == "0..9") break;
    auto code = remote::ButtonCode(name);
    ASSERT_TRUE(code) << name;
    for (std::uint8_t other : seen) EXPECT_NE(other, *code) << name;
    seen.push_back(*code);
    start = end + 1;
  }
  EXPECT_GE(seen.size(), 30u);
}

TEST(Probe, ReplyIsRecognisedExactly) {
  const std::uint8_t reply[] = {0x15, 0x65, 0x81};
  const std::uint8_t probe[] = {0x15, 0x65, 0x80};
  EXPECT_TRUE(remote::IsProbeReply(reply, 3));
  EXPECT_FALSE(remote::IsProbeReply(probe, 3));
  EXPECT_FALSE(remote::IsProbeReply(reply, 2));
  EXPECT_EQ(remote::ProbeDatagram(), (Bytes{0x15, 0x65, 0x80}));
}

}  // namespace
