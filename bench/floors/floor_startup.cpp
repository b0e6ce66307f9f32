// Floor of the start-up: a program whose first act is to bind the port and
// answer the probe (and every datagram after it).
//   floor_startup PORT
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
  local.sin_addr.s_addr = htonl(INADDR_ANY);  // as the host binds
  local.sin_port = htons(static_cast<unsigned short>(std::atoi(argv[1])));
  if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return 1;
  char buffer[64];
  for (;;) {
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const int n =
        recvfrom(s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n == 3) {
      buffer[2] = static_cast<char>(0x81);
      sendto(s, buffer, n, 0, reinterpret_cast<sockaddr*>(&from), length);
    }
  }
}
