#include "access/adapter_kinds.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

namespace access_policy {
namespace {

// IANA interface types that are never the local network.
constexpr std::uint32_t kTunnelTypes[] = {
    23,   // PPP: dial-up and PPP-based VPNs
    53,   // proprietary virtual: WireGuard/Wintun and other VPN drivers
    131,  // tunnel
};

// Words in an adapter's description that mark a VPN driver reported as Ethernet.
constexpr const char* kVpnWords[] = {"vpn",       "tap-windows", "tap-win32",
                                     "wireguard", "wintun",      "openvpn"};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

bool IsTunnelOrVpn(const platform::Ipv4Interface& adapter) {
  if (adapter.tunnel) return true;
  if (std::find(std::begin(kTunnelTypes), std::end(kTunnelTypes), adapter.interface_type) !=
      std::end(kTunnelTypes)) {
    return true;
  }
  const std::string description = Lower(adapter.description);
  return std::any_of(std::begin(kVpnWords), std::end(kVpnWords),
                     [&](const char* word) { return description.find(word) != std::string::npos; });
}

}  // namespace access_policy
