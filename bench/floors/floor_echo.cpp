// Floor of the probe round trip: the simplest program that answers a probe.
// One socket bound to 127.0.0.1, then recvfrom and sendto, nothing else.
//   floor_echo PORT
#ifdef _WIN32
#include <winsock2.h>
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
#ifdef _WIN32
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
#endif
  const auto s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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
