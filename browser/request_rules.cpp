#include "browser/request_rules.h"

#include <algorithm>

#include "platform/sockets.h"

namespace browser {

bool HostIsThisPc(const std::string& host, const std::vector<std::uint32_t>& addresses,
                  std::uint16_t listening) {
  const std::string port = ":" + std::to_string(listening);
  if (host.size() <= port.size() || !host.ends_with(port)) return false;
  std::uint32_t address = 0;
  if (!platform::Ipv4FromText(host.substr(0, host.size() - port.size()), address)) return false;
  // Only the address as the PC writes it: "010.1.2.3" or "10.1.2.3." are other names.
  if (platform::Ipv4ToText(address) + port != host) return false;
  return std::find(addresses.begin(), addresses.end(), address) != addresses.end();
}

bool OriginIsThePage(const std::string& origin, const std::string& host) {
  return origin == "http://" + host;
}

}  // namespace browser
