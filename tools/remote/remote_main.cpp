// mirovanta-remote: finds hosts on the network and sends them commands, as the
// remote-control app does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mirovanta_version.h"
#include "platform/ipv4.h"
#include "platform/owners.h"
#include "platform/sockets.h"
#include "tools/remote/command_encoding.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kNetworkError = 3;
constexpr int kNoAnswer = 1;

struct Options {
  std::string host;  // empty: every broadcast address (discover only)
  std::uint16_t port = 1565;
  int wait_ms = 1000;
  std::vector<std::string> words;
};

void Usage() {
  std::fprintf(stderr,
               "usage: mirovanta-remote [--host ADDRESS] [--port N] [--wait MS] COMMAND\n"
               "       mirovanta-remote --version\n"
               "commands:\n"
               "  discover                 probe ADDRESS (default: every broadcast address)\n"
               "                           and list the hosts that answer, with their names\n"
               "  send HEX...              one raw datagram, e.g. send 15 65 03 02 00\n"
               "  page N BUTTON            button of media page N (1..8)\n"
               "  type TEXT                type TEXT into the focused window\n"
               "  move DX DY               move the pointer (-128..127 each)\n"
               "  click left|right         click\n"
               "  wheel up|down            one wheel notch\n"
               "  utility N launch|close   maker utility N (1..4)\n"
               "buttons: %s\n",
               remote::ButtonNames().c_str());
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "--host" && has_value) {
      options.host = argv[++i];
    } else if (arg == "--port" && has_value) {
      long port = std::strtol(argv[++i], nullptr, 10);
      if (port < 1 || port > 65535) return false;
      options.port = static_cast<std::uint16_t>(port);
    } else if (arg == "--wait" && has_value) {
      options.wait_ms = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
    } else if (arg.rfind("--", 0) == 0 && options.words.empty()) {
      return false;
    } else {
      options.words.push_back(arg);
    }
  }
  return !options.words.empty();
}

class UdpClient {
 public:
  explicit UdpClient(platform::ISockets& sockets) : library_(sockets) {
    if (library_.Error() == 0) socket_ = platform::TSocket(sockets, sockets.OpenUdp());
  }
  bool Ok() const { return static_cast<bool>(socket_); }
  platform::SocketHandle Handle() const { return socket_.Get(); }

 private:
  platform::TSocketLibrary library_;
  platform::TSocket socket_;  // closed before the library ends
};

// The name a host sends to each device that connects on TCP.
std::string ReadHostName(platform::ISockets& sockets, std::uint32_t address, std::uint16_t port) {
  platform::TSocket owner(sockets, sockets.OpenTcp());
  if (!owner) return "";
  const platform::SocketHandle tcp = owner.Get();
  std::string name;
  if (!sockets.Connect(tcp, {address, port}, 1000).Failed()) {
    std::vector<bool> ready;
    std::uint8_t buffer[64];
    // The name comes with no terminator: take what arrives within a moment.
    while (name.size() < 15 && sockets.WaitReadable({tcp}, 500, ready) > 0) {
      platform::IoResult got = sockets.Receive(tcp, buffer, sizeof buffer);
      if (got.error.Failed() || got.bytes <= 0) break;
      name.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(got.bytes));
    }
  }
  return name;
}

std::vector<std::uint32_t> ProbeTargets(platform::ISockets& sockets, const Options& options) {
  std::vector<std::uint32_t> targets;
  if (!options.host.empty()) {
    std::uint32_t address = 0;
    if (sockets.Resolve(options.host, address)) targets.push_back(address);
    return targets;
  }
  for (const platform::Ipv4Interface& own : sockets.Interfaces()) {
    if (platform::IsLoopback(own.address)) continue;
    targets.push_back(own.address | ~own.netmask);
  }
  return targets;
}

int Discover(platform::ISockets& sockets, const Options& options) {
  UdpClient client(sockets);
  if (!client.Ok()) return kNetworkError;
  std::vector<std::uint32_t> targets = ProbeTargets(sockets, options);
  if (targets.empty()) {
    std::fprintf(stderr, "nothing to probe: %s\n",
                 options.host.empty() ? "no network interface" : "cannot resolve the host");
    return kNetworkError;
  }
  if (options.host.empty()) sockets.SetBroadcast(client.Handle(), true);
  const remote::Datagram probe = remote::ProbeDatagram();
  for (std::uint32_t target : targets) {
    sockets.SendTo(client.Handle(), probe.data(), probe.size(), {target, options.port});
  }
  std::vector<std::uint32_t> answered;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.wait_ms);
  std::vector<bool> ready;
  while (true) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    end - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0 || sockets.WaitReadable({client.Handle()}, static_cast<int>(left), ready) <= 0) {
      break;
    }
    std::uint8_t reply[16];
    platform::Ipv4Endpoint from;
    platform::IoResult got = sockets.ReceiveFrom(client.Handle(), reply, sizeof reply, from);
    if (got.error.Failed() || !remote::IsProbeReply(reply, static_cast<std::size_t>(got.bytes)))
      continue;
    bool seen = false;
    for (std::uint32_t a : answered) seen = seen || a == from.address;
    if (seen) continue;
    answered.push_back(from.address);
    std::string name = ReadHostName(sockets, from.address, options.port);
    std::printf("%s %s\n", platform::Ipv4ToText(from.address).c_str(), name.c_str());
    std::fflush(stdout);
  }
  return answered.empty() ? kNoAnswer : 0;
}

int SendCommand(platform::ISockets& sockets, const Options& options) {
  std::string error;
  auto datagram = remote::EncodeCommand(options.words, error);
  if (!datagram) {
    std::fprintf(stderr, "mirovanta-remote: %s\n", error.c_str());
    Usage();
    return kUsageError;
  }
  UdpClient client(sockets);
  std::uint32_t address = 0;
  const std::string host = options.host.empty() ? "127.0.0.1" : options.host;
  if (!client.Ok() || !sockets.Resolve(host, address)) {
    std::fprintf(stderr, "mirovanta-remote: cannot reach %s\n", host.c_str());
    return kNetworkError;
  }
  platform::IoResult sent =
      sockets.SendTo(client.Handle(), datagram->data(), datagram->size(), {address, options.port});
  if (sent.error.Failed()) {
    std::fprintf(stderr, "mirovanta-remote: send failed: %s\n",
                 sockets.ErrorText(sent.error.number).c_str());
    return kNetworkError;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::printf("mirovanta-remote %s\n", MIROVANTA_VERSION);
    return 0;
  }
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage();
    return kUsageError;
  }
  platform::ISockets& sockets = platform::SystemSockets();
  if (options.words[0] == "discover") {
    if (options.words.size() > 2) {
      Usage();
      return kUsageError;
    }
    if (options.words.size() == 2) options.host = options.words[1];
    return Discover(sockets, options);
  }
  return SendCommand(sockets, options);
}
