// Probe round trip: alternates probes to two targets (the host and a bare echo)
// from one socket and prints p50 and p99 of each and their ratio.
//   probe_rtt HOST_PORT ECHO_PORT [COUNT]     (both on 127.0.0.1)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/sockets.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Target {
  const char* name;
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
    if (got.error == 0 && got.bytes == 3 && from.port == target.port) {
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
    std::fprintf(stderr, "usage: probe_rtt HOST_PORT ECHO_PORT [COUNT]\n");
    return 2;
  }
  Target host{"host", static_cast<std::uint16_t>(std::atoi(argv[1])), {}};
  Target echo{"echo", static_cast<std::uint16_t>(std::atoi(argv[2])), {}};
  const int count = argc > 3 ? std::atoi(argv[3]) : 5000;
  platform::ISockets& sockets = platform::SystemSockets();
  sockets.Startup();
  platform::SocketHandle socket = sockets.OpenUdp();
  sockets.Bind(socket, {0x7F000001u, 0});
  // Warm-up, not counted.
  for (int i = 0; i < 100; ++i) {
    RoundTrip(sockets, socket, host);
    RoundTrip(sockets, socket, echo);
  }
  host.micros.clear();
  echo.micros.clear();
  for (int i = 0; i < count; ++i) {
    RoundTrip(sockets, socket, host);
    RoundTrip(sockets, socket, echo);
  }
  for (const Target* t : {&host, &echo}) {
    std::printf("%-5s p50 %8.1f us  p99 %8.1f us  (%zu answered, %d lost)\n", t->name,
                Percentile(t->micros, 0.50), Percentile(t->micros, 0.99), t->micros.size(),
                t->lost);
  }
  double echo50 = Percentile(echo.micros, 0.50);
  double echo99 = Percentile(echo.micros, 0.99);
  if (echo50 > 0 && echo99 > 0) {
    std::printf("ratio host/echo: p50 %.2f  p99 %.2f\n", Percentile(host.micros, 0.50) / echo50,
                Percentile(host.micros, 0.99) / echo99);
  }
  sockets.Close(socket);
  return host.micros.empty() || echo.micros.empty() ? 1 : 0;
}
