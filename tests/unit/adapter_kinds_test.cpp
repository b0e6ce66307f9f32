// Which adapters count as tunnels or VPNs, and so never make their subnet nearby.
#include "access/adapter_kinds.h"

#include <gtest/gtest.h>

#include "access/nearby_rule.h"

namespace {

struct Case {
  const char* what;
  bool tunnel;
  std::uint32_t interface_type;
  const char* description;
  bool vpn;
};

const Case kCases[] = {
    {"Ethernet", false, 6, "Intel(R) Ethernet Connection I219-V", false},
    {"Wi-Fi", false, 71, "Intel(R) Wi-Fi 6 AX201 160MHz", false},
    {"a tunnel type named by the system", true, 6, "Microsoft Teredo Tunneling Adapter", true},
    {"IANA tunnel", false, 131, "", true},
    {"PPP", false, 23, "WAN Miniport (PPTP)", true},
    {"WireGuard (proprietary virtual)", false, 53, "WireGuard Tunnel", true},
    {"Wintun reported as Ethernet", false, 6, "Wintun Userspace Tunnel", true},
    {"TAP-Windows", false, 6, "TAP-Windows Adapter V9", true},
    {"an older TAP", false, 6, "TAP-Win32 Adapter OAS", true},
    {"a VPN client's adapter", false, 6, "Cisco AnyConnect Secure Mobility Client VPN Adapter",
     true},
    {"OpenVPN data channel", false, 6, "OpenVPN Data Channel Offload", true},
    {"Hyper-V switch", false, 6, "Hyper-V Virtual Ethernet Adapter", false},
};

TEST(AdapterKinds, TunnelsAndVpnAdaptersAreToldApart) {
  for (const Case& c : kCases) {
    platform::Ipv4Interface adapter;
    adapter.tunnel = c.tunnel;
    adapter.interface_type = c.interface_type;
    adapter.description = c.description;
    EXPECT_EQ(access_policy::IsTunnelOrVpn(adapter), c.vpn) << c.what;
  }
}

TEST(AdapterKinds, AVpnAdaptersSubnetIsNotNearby) {
  platform::Ipv4Interface home{0xC0A80114u, 0xFFFFFF00u};  // 192.168.1.20/24
  platform::Ipv4Interface vpn{0x0A080006u, 0xFFFF0000u};   // 10.8.0.6/16
  vpn.description = "TAP-Windows Adapter V9";
  EXPECT_TRUE(access_policy::IsNearbySource(0xC0A80125u, {home, vpn}));
  EXPECT_FALSE(access_policy::IsNearbySource(0x0A080001u, {home, vpn}));
}

}  // namespace
