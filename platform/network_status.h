#pragma once
// Network list and firewall family: what Windows says of the networks this PC
// is connected to and of its firewall, read without administrator rights.
// Every answer is optional: an empty one means the system would not say.
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The firewall's profile of a network; also the bits of a rule's profiles.
enum class NetworkProfile : unsigned { Domain = 1, Private = 2, Public = 4 };

struct ConnectedNetwork {
  std::string name;  // UTF-8, as the network list names it ("Home", "Network 2")
  NetworkProfile profile = NetworkProfile::Public;
};

enum class RuleProtocol { Tcp, Udp, Any, Other };

// One inbound rule of the firewall, as it stands in the policy.
struct FirewallRule {
  std::string name;     // UTF-8
  std::string program;  // the program's full path; empty for any program
  RuleProtocol protocol = RuleProtocol::Any;
  std::string local_ports;  // "1565", "1500-1600,8080", "*"; empty for any
  bool allow = true;        // false: a block rule
  bool enabled = true;
  unsigned profiles = 7;  // NetworkProfile bits it applies to
};

class INetworkStatus {
 public:
  virtual ~INetworkStatus() = default;
  virtual std::optional<std::vector<ConnectedNetwork>> ConnectedNetworks() = 0;
  // Whether the firewall is on for the networks of this profile.
  virtual std::optional<bool> FirewallOn(NetworkProfile profile) = 0;
  // The inbound rules of the firewall policy.
  virtual std::optional<std::vector<FirewallRule>> InboundRules() = 0;
};

}  // namespace platform
