#pragma once
// Which adapters are tunnels or a VPN's virtual adapters: their subnets are
// the far end's network, not the one this PC and the phone share.
#include "platform/sockets.h"

namespace access_policy {

bool IsTunnelOrVpn(const platform::Ipv4Interface& adapter);

}  // namespace access_policy
