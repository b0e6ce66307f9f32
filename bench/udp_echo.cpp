// A bare UDP echo: the floor the host's probe path is measured against.
//   udp_echo PORT
#include <cstdio>
#include <cstdlib>

#include "platform/owners.h"
#include "platform/sockets.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: udp_echo PORT\n");
    return 2;
  }
  platform::ISockets& sockets = platform::SystemSockets();
  const platform::TSocketLibrary library(sockets);
  if (library.Error() != 0) return 1;
  const platform::TSocket owner(sockets, sockets.OpenUdp());
  const platform::SocketHandle socket = owner.Get();
  if (sockets.Bind(socket, {0, static_cast<std::uint16_t>(std::atoi(argv[1]))}).Failed()) {
    std::fprintf(stderr, "udp_echo: cannot bind\n");
    return 1;
  }
  sockets.DisableUdpResetReports(socket);
  std::uint8_t buffer[8192];
  while (true) {
    platform::Ipv4Endpoint from;
    platform::IoResult got = sockets.ReceiveFrom(socket, buffer, sizeof buffer, from);
    if (!got.error.Failed() && got.bytes > 0) {
      sockets.SendTo(socket, buffer, static_cast<std::size_t>(got.bytes), from);
    }
  }
}
