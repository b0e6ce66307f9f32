// Probe round trip: alternates probes, one request at a time, among targets on
// 127.0.0.1 from one socket, and prints p50 and p99 of each and each one's
// ratio to the first (the floor).
//   probe_rtt COUNT FLOOR_NAME:PORT NAME:PORT...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/owners.h"
#include "platform/sockets.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Target {
  std::string name;
  std::uint16_t port;
  std::vector<double> micros;
  int lost = 0;
};

bool RoundTrip(platform::ISockets& sockets, platform::SocketHandle socket, Target& target) {
  static const std::uint8_t probe[] = {0x15, 0x65, 0x80};
  std::uint8_t reply[16];
  std::vector<bool> ready;
  auto start = Clock::now();
  sockets.SendTo(socket, probe, sizeof probe, {0x7F000001u, target.port});
  while (sockets.WaitReadable({socket}, 1000, ready) > 0) {
    platform::Ipv4Endpoint from;
    platform::IoResult got = sockets.ReceiveFrom(socket, reply, sizeof reply, from);
    if (!got.error.Failed() && got.bytes == 3 && from.port == target.port) {
      target.micros.push_back(
          std::chrono::duration<double, std::micro>(Clock::now() - start).count());
      return true;
    }
  }
  ++target.lost;
  return false;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: probe_rtt COUNT FLOOR_NAME:PORT NAME:PORT...\n");
    return 2;
  }
  const int count = std::atoi(argv[1]);
  std::vector<Target> targets;
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    const std::size_t colon = word.rfind(':');
    if (colon == std::string::npos) return 2;
    targets.push_back({word.substr(0, colon),
                       static_cast<std::uint16_t>(std::atoi(word.c_str() + colon + 1)),
                       {}});
  }
  platform::ISockets& sockets = platform::SystemSockets();
  const platform::TSocketLibrary library(sockets);
  const platform::TSocket owner(sockets, sockets.OpenUdp());
  const platform::SocketHandle socket = owner.Get();
  sockets.Bind(socket, {0x7F000001u, 0});
  for (int i = 0; i < 100; ++i) {  // warm-up, not counted
    for (Target& target : targets) RoundTrip(sockets, socket, target);
  }
  for (Target& target : targets) target.micros.clear();
  for (int i = 0; i < count; ++i) {
    for (Target& target : targets) RoundTrip(sockets, socket, target);
  }
  const double floor50 = Percentile(targets.front().micros, 0.50);
  const double floor99 = Percentile(targets.front().micros, 0.99);
  bool all_answered = true;
  for (const Target& t : targets) {
    const double p50 = Percentile(t.micros, 0.50), p99 = Percentile(t.micros, 0.99);
    std::printf(
        "%-16s p50 %8.1f us  p99 %8.1f us  ratio to %s: p50 %.2f  p99 %.2f  (%zu answered, %d "
        "lost)\n",
        t.name.c_str(), p50, p99, targets.front().name.c_str(), floor50 > 0 ? p50 / floor50 : 0.0,
        floor99 > 0 ? p99 / floor99 : 0.0, t.micros.size(), t.lost);
    all_answered = all_answered && !t.micros.empty();
  }
  return all_answered ? 0 : 1;
}
