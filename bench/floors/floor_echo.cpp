// Floor of the probe round trip: the simplest program that answers a probe.
// One socket, then recvfrom and sendto, nothing else. The socket is bound to
// every address, as a program must be to be found from the network (and from
// this PC, where the benchmark sends from); with "loopback", to 127.0.0.1
// only, to show what the wider binding itself costs.
//   floor_echo PORT [loopback]
#ifdef _WIN32
#include <winsock2.h>
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
#ifdef _WIN32
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
#endif
  const auto s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  const bool loopback = argc > 2 && std::strcmp(argv[2], "loopback") == 0;
  local.sin_addr.s_addr = htonl(loopback ? INADDR_LOOPBACK : INADDR_ANY);
  local.sin_port = htons(static_cast<unsigned short>(std::atoi(argv[1])));
  if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return 1;
  char buffer[64];
  for (;;) {
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const int n =
        recvfrom(s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n > 0) sendto(s, buffer, n, 0, reinterpret_cast<sockaddr*>(&from), length);
  }
}
