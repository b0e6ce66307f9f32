#pragma once
// Whether Windows Firewall lets the host's port in on a kind of network, and
// which rule stands in the way: read from the rules as the policy lists them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/network_status.h"

namespace help {

enum class Entry {
  Open,       // an enabled allow rule for the program (or any program) covers it
  Blocked,    // an enabled block rule covers it; block rules win
  RuleOff,    // only a turned-off rule would let it in
  Elsewhere,  // rules for the program let it in on other kinds of networks only
  NoRule,
};

struct PortEntry {
  Entry entry = Entry::NoRule;
  std::string rule;    // the rule that blocks or is off
  unsigned other = 0;  // Elsewhere: the profiles its rules do cover
};

// The same program: paths compared without regard to case, as Windows does.
bool SameProgram(const std::string& a, const std::string& b);
// "1565", "1500-1600,8080", "*" or empty (any port).
bool PortListed(const std::string& local_ports, std::uint16_t port);

PortEntry CheckPort(const std::vector<platform::FirewallRule>& rules, const std::string& program,
                    platform::RuleProtocol protocol, std::uint16_t port,
                    platform::NetworkProfile profile);

}  // namespace help
