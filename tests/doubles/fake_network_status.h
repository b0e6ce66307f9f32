#pragma once
// What Windows says of the networks and the firewall, as the test sets it;
// an empty answer stands for a source that fails.
#include <map>

#include "platform/network_status.h"

namespace doubles {

class FakeNetworkStatus final : public platform::INetworkStatus {
 public:
  std::optional<std::vector<platform::ConnectedNetwork>> networks =
      std::vector<platform::ConnectedNetwork>{{"Home", platform::NetworkProfile::Private}};
  std::map<platform::NetworkProfile, std::optional<bool>> firewall_on{
      {platform::NetworkProfile::Domain, true},
      {platform::NetworkProfile::Private, true},
      {platform::NetworkProfile::Public, true}};
  std::optional<std::vector<platform::FirewallRule>> rules = std::vector<platform::FirewallRule>{};
  int reads = 0;  // how often the networks were asked for

  std::optional<std::vector<platform::ConnectedNetwork>> ConnectedNetworks() override {
    ++reads;
    return networks;
  }
  std::optional<bool> FirewallOn(platform::NetworkProfile profile) override {
    return firewall_on[profile];
  }
  std::optional<std::vector<platform::FirewallRule>> InboundRules() override { return rules; }
};

}  // namespace doubles
