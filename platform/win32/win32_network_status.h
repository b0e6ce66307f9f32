#pragma once
#include "platform/network_status.h"

namespace platform::win32 {

// The network list manager and the firewall policy, through COM on the
// calling thread; any call that fails makes its answer empty.
class Win32NetworkStatus final : public INetworkStatus {
 public:
  std::optional<std::vector<ConnectedNetwork>> ConnectedNetworks() override;
  std::optional<bool> FirewallOn(NetworkProfile profile) override;
  std::optional<std::vector<FirewallRule>> InboundRules() override;
};

}  // namespace platform::win32
