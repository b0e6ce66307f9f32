// Test helper: prints the host's own view of this PC's IPv4 interfaces, one
// "ADDRESS/NETMASK" a line, through the platform layer the host uses.
#include <cstdio>

#include "platform/sockets.h"

int main() {
  for (const platform::Ipv4Interface& entry : platform::SystemSockets().Interfaces()) {
    std::printf("%s/%s\n", platform::Ipv4ToText(entry.address).c_str(),
                platform::Ipv4ToText(entry.netmask).c_str());
  }
  return 0;
}
