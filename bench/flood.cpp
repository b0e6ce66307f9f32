// Floods the host on port 1565 (127.0.0.1 unless HOST says otherwise: only
// ever an address of this machine or of a test host of its own) with a mix of
// datagrams as fast as it can and counts the probe replies that come back.
//   flood COUNT [PATTERN [HOST]]
// Mix: random bytes of 0..9000 (the first two never the frame's header, so
// that nothing random becomes a command), short ones of 0..4 bytes,
// unframed ones, probes, and framed no-ops (group 3 selector 5).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/owners.h"
#include "platform/sockets.h"

namespace {

using Clock = std::chrono::steady_clock;

std::size_t DrainReplies(platform::ISockets& sockets, platform::SocketHandle socket, int wait_ms) {
  std::size_t replies = 0;
  std::vector<bool> ready;
  std::uint8_t buffer[64];
  while (sockets.WaitReadable({socket}, wait_ms, ready) > 0) {
    platform::Ipv4Endpoint from;
    platform::IoResult got = sockets.ReceiveFrom(socket, buffer, sizeof buffer, from);
    if (!got.error.Failed() && got.bytes == 3 && buffer[2] == 0x81) ++replies;
  }
  return replies;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::mt19937 random(argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1565u);
  platform::ISockets& sockets = platform::SystemSockets();
  const platform::TSocketLibrary library(sockets);
  platform::Ipv4Endpoint host{0x7F000001u, 1565};
  if (argc > 3 && !platform::Ipv4FromText(argv[3], host.address)) {
    std::fprintf(stderr, "not an IPv4 address: %s\n", argv[3]);
    return 2;
  }
  const platform::TSocket owner(sockets, sockets.OpenUdp());
  const platform::SocketHandle socket = owner.Get();
  sockets.Bind(socket, {host.address == 0x7F000001u ? 0x7F000001u : 0u, 0});
  std::vector<std::uint8_t> datagram(9000);
  long probes = 0, failed_sends = 0;
  std::size_t replies = 0;
  const auto start = Clock::now();
  for (long i = 0; i < count; ++i) {
    const unsigned kind = random() % 100;
    std::size_t size = 0;
    if (kind < 40) {
      size = random() % 9001;
      for (std::size_t b = 0; b < size; ++b) datagram[b] = static_cast<std::uint8_t>(random());
      if (size >= 2 && datagram[0] == 0x15 && datagram[1] == 0x65) datagram[1] = 0x66;
    } else if (kind < 60) {
      size = random() % 5;
      for (std::size_t b = 0; b < size; ++b) datagram[b] = static_cast<std::uint8_t>(random());
      if (size == 3 && datagram[0] == 0x15 && datagram[1] == 0x65) datagram[1] = 0x66;
    } else if (kind < 75) {
      size = 5 + random() % 60;
      for (std::size_t b = 0; b < size; ++b) datagram[b] = static_cast<std::uint8_t>(random());
      datagram[0] = 0x16;
    } else if (kind < 85) {
      size = 3;
      datagram[0] = 0x15, datagram[1] = 0x65, datagram[2] = 0x80;
      ++probes;
    } else {
      size = 5;
      datagram[0] = 0x15, datagram[1] = 0x65, datagram[2] = 3, datagram[3] = 5, datagram[4] = 0;
    }
    if (sockets.SendTo(socket, datagram.data(), size, host).error.Failed()) ++failed_sends;
    if ((i & 1023) == 0) replies += DrainReplies(sockets, socket, 0);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  replies += DrainReplies(sockets, socket, 2000);
  std::printf("sent %ld datagrams in %.2f s (%.0f per second), %ld sends refused\n", count, seconds,
              count / seconds, failed_sends);
  std::printf("probes %ld, answered %zu (%.1f %%)\n", probes, replies,
              probes ? 100.0 * static_cast<double>(replies) / static_cast<double>(probes) : 0.0);
  return 0;
}
