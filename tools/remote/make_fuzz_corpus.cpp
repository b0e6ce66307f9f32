// Writes the starting corpus of the datagram fuzz target: one datagram of every
// command the client can send (every page with every button, text, pointer,
// utilities) and the probe, as the client's own encoder makes them, each behind
// the four scene bytes the target reads first (the sender, the adapter's
// prefix and state, asking and pause), and a few scenes of other senders and
// networks.
//   make_fuzz_corpus FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "protocol/wire_format.h"
#include "tools/remote/command_encoding.h"

namespace {

using Words = std::vector<std::string>;
using remote::Datagram;

// Sender (0 loopback, 1 allowed, 2 and 3 new nearby, 4 and 5 far), prefix
// length of the PC's adapter, flags (1 up, 2 tunnel, 4 ask, 8 paused, 16
// answer yes, 32 answer no), prefix of a second adapter.
const Datagram kAllowedHome = {1, 24, 1 | 4, 16};
const std::vector<std::pair<std::string, Datagram>> kScenes = {
    {"loopback-paused", {0, 24, 1 | 4 | 8, 16}},
    {"new-device-yes", {2, 24, 1 | 4 | 16, 16}},
    {"new-device-no", {3, 24, 1 | 4 | 32, 16}},
    {"far", {4, 24, 1 | 4, 16}},
    {"tunnel", {2, 24, 1 | 2 | 4, 16}},
    {"wide-prefix", {5, 8, 1, 0}},
    {"adapter-down", {1, 24, 4, 16}},
};

Datagram Encode(const Words& words) {
  std::string error;
  auto datagram = remote::EncodeCommand(words, error);
  if (!datagram) {
    std::fprintf(stderr, "make_fuzz_corpus: %s\n", error.c_str());
    std::exit(1);
  }
  return *datagram;
}

std::vector<std::pair<std::string, Datagram>> Commands() {
  using namespace protocol::wire;
  std::vector<std::pair<std::string, Datagram>> commands = {{"probe", remote::ProbeDatagram()}};
  for (int page = kFirstPage; page <= kLastPage; ++page) {
    for (const std::string& name : remote::EveryButtonName()) {
      char file[32];
      std::snprintf(file, sizeof file, "page%d-%02x", page, *remote::ButtonCode(name));
      commands.emplace_back(file, Encode({"page", std::to_string(page), name}));
    }
  }
  commands.emplace_back("text", Encode({"type", "Hello,", "123"}));
  commands.emplace_back("text-empty", Encode({"type", ""}));
  commands.emplace_back("move", Encode({"move", "-5", "7"}));
  commands.emplace_back("click-left", Encode({"click", "left"}));
  commands.emplace_back("click-right", Encode({"click", "right"}));
  commands.emplace_back("wheel-toward", Encode({"wheel", "down"}));
  commands.emplace_back("wheel-away", Encode({"wheel", "up"}));
  // A pointer selector that means nothing: the client has no word for it.
  commands.emplace_back("pointer-noop",
                        Datagram{kHeader1, kHeader2, kGroupPointer, kPointerWheel + 1, 0});
  for (int utility = kFirstUtility; utility <= kLastUtility; ++utility) {
    for (const char* action : {"launch", "close"}) {
      commands.emplace_back("utility" + std::to_string(utility) + "-" + action,
                            Encode({"utility", std::to_string(utility), action}));
    }
  }
  return commands;
}

void Write(const std::filesystem::path& file, const Datagram& scene, const Datagram& datagram) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(scene.data()),
            static_cast<std::streamsize>(scene.size()));
  out.write(reinterpret_cast<const char*>(datagram.data()),
            static_cast<std::streamsize>(datagram.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_corpus FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  for (const auto& [name, datagram] : Commands()) Write(folder / name, kAllowedHome, datagram);
  const Datagram play_on_page_3 = Encode({"page", "3", "play"});
  for (const auto& [name, scene] : kScenes)
    Write(folder / ("scene-" + name), scene, play_on_page_3);
  return 0;
}
