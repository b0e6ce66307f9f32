// Every command the client can put on the wire, decoded by the host's own
// decoder: the two ends agree on the layout.
#include <gtest/gtest.h>

#include <set>

#include "protocol/datagram_gate.h"
#include "media/key_map.h"
#include "protocol/wire_format.h"
#include "service/datagram_command.h"
#include "tests/doubles/ask_words.h"
#include "tools/remote/command_encoding.h"

namespace {

using Words = std::vector<std::string>;
using Strings = std::vector<std::string>;

struct Decoded {
  Strings calls;
};

Decoded ThroughTheHost(const remote::Datagram& datagram) {
  const std::string words =
      doubles::Words(service::DecodeDatagram(datagram.data(), datagram.size()));
  return {words.empty() ? Strings{} : Strings{words}};
}

Decoded EncodeAndDecode(const Words& words) {
  std::string error;
  auto datagram = remote::EncodeCommand(words, error);
  EXPECT_TRUE(datagram) << error;
  return datagram ? ThroughTheHost(*datagram) : Decoded{};
}

TEST(WireRoundTrip, EveryButtonOfEveryPageReachesItsPage) {
  Strings names;
  std::string all = remote::ButtonNames();
  for (std::size_t start = 0, end; (end = all.find(' ', start)) != std::string::npos;
       start = end + 1) {
    names.push_back(all.substr(start, end - start));
  }
  names.erase(std::find(names.begin(), names.end(), "0..9"), names.end());
  for (const char* extra : {"0", "9", "f1", "f12", "0x00", "0xff"}) names.push_back(extra);
  ASSERT_GE(names.size(), 30u);
  for (int page = 1; page <= 8; ++page) {
    for (const std::string& name : names) {
      const std::uint8_t code = *remote::ButtonCode(name);
      EXPECT_EQ(EncodeAndDecode({"page", std::to_string(page), name}).calls,
                (Strings{"page " + std::to_string(page) + " code " + std::to_string(code)}))
          << "page " << page << " " << name;
    }
  }
}

struct Command {
  Words words;
  Strings calls;
};

class EachClientCommand : public testing::TestWithParam<Command> {};

TEST_P(EachClientCommand, IsDecodedAsTheClientMeantIt) {
  EXPECT_EQ(EncodeAndDecode(GetParam().words).calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Commands, EachClientCommand,
                         testing::Values(Command{{"type", "hello", "world"},
                                                 {"type \"hello world\""}},
                                         Command{{"type", ""}, {"type \"\""}},
                                         Command{{"type", std::string(8188, 'x')},
                                                 {"type \"" + std::string(8188, 'x') + "\""}},
                                         Command{{"move", "-128", "127"}, {"move -128 127"}},
                                         Command{{"move", "5", "-7"}, {"move 5 -7"}},
                                         Command{{"click", "left"}, {"left click"}},
                                         Command{{"click", "right"}, {"right click"}},
                                         Command{{"wheel", "down"}, {"wheel toward"}},
                                         Command{{"wheel", "up"}, {"wheel away"}},
                                         Command{{"utility", "1", "launch"}, {"launch utility 1"}},
                                         Command{{"utility", "4", "launch"}, {"launch utility 4"}},
                                         Command{{"utility", "2", "close"}, {"close utility 2"}},
                                         Command{{"utility", "3", "close"}, {"close utility 3"}},
                                         Command{{"send", "15 65 01 08 20"}, {"page 8 code 32"}}),
                         [](const testing::TestParamInfo<Command>& case_info) {
                           std::string name = case_info.param.words[0];
                           for (std::size_t i = 1; i < case_info.param.words.size() && i < 3; ++i) {
                             for (char c : case_info.param.words[i].substr(0, 8)) {
                               name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                           }
                           return name + "_" + std::to_string(case_info.index);
                         });

TEST(WireRoundTrip, TheProbeIsAnsweredWithWhatTheClientRecognises) {
  const remote::Datagram probe = remote::ProbeDatagram();
  EXPECT_EQ(protocol::ClassifyDatagram(true, probe.data(), probe.size()),
            protocol::GateVerdict::Probe);
  EXPECT_TRUE(
      remote::IsProbeReply(protocol::wire::kProbeReply.data(), protocol::wire::kProbeReply.size()));
  EXPECT_TRUE(ThroughTheHost(probe).calls.empty());
}

}  // namespace

namespace {

// The client's names and the key maps are two tables: every button a page's
// key map acts on has a name, and every name acts on some page.
TEST(WireRoundTrip, EveryButtonOfTheKeyMapsHasANameAndEveryNameActsSomewhere) {
  std::set<std::uint8_t> named;
  for (const std::string& name : remote::EveryButtonName()) named.insert(*remote::ButtonCode(name));
  std::set<std::uint8_t> acted_on;
  for (std::uint8_t page = 1; page <= 8; ++page) {
    for (int code = 0; code <= 0xFF; ++code) {
      if (media::LookUpButton(page, static_cast<std::uint8_t>(code)).kind ==
          media::ActionKind::Nothing) {
        continue;
      }
      acted_on.insert(static_cast<std::uint8_t>(code));
      EXPECT_TRUE(named.count(static_cast<std::uint8_t>(code)))
          << "page " << int(page) << " button 0x" << std::hex << code << " has no name";
    }
  }
  for (std::uint8_t code : named) {
    EXPECT_TRUE(acted_on.count(code))
        << "the name for 0x" << std::hex << int(code) << " does nothing";
  }
}

}  // namespace
