#include "help/firewall_check.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace help {
namespace {

using platform::FirewallRule;
using platform::RuleProtocol;

bool ParseNumber(std::string_view text, unsigned& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const auto end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end && !text.empty();
}

bool ItemHolds(std::string_view item, std::uint16_t port) {
  if (item == "*") return true;
  unsigned low = 0;
  unsigned high = 0;
  const auto dash = item.find('-');
  if (dash == std::string_view::npos) return ParseNumber(item, low) && low == port;
  return ParseNumber(item.substr(0, dash), low) && ParseNumber(item.substr(dash + 1), high) &&
         low <= port && port <= high;
}

bool Covers(const FirewallRule& rule, const std::string& program, RuleProtocol protocol,
            std::uint16_t port) {
  const bool protocol_matches = rule.protocol == RuleProtocol::Any || rule.protocol == protocol;
  const bool program_matches = rule.program.empty() || SameProgram(rule.program, program);
  return protocol_matches && program_matches && PortListed(rule.local_ports, port);
}

}  // namespace

bool SameProgram(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool PortListed(const std::string& local_ports, std::uint16_t port) {
  if (local_ports.empty()) return true;
  std::string_view rest = local_ports;
  while (true) {
    const auto comma = rest.find(',');
    if (ItemHolds(rest.substr(0, comma), port)) return true;
    if (comma == std::string_view::npos) return false;
    rest.remove_prefix(comma + 1);
  }
}

PortEntry CheckPort(const std::vector<FirewallRule>& rules, const std::string& program,
                    RuleProtocol protocol, std::uint16_t port, platform::NetworkProfile profile) {
  const auto bit = static_cast<unsigned>(profile);
  PortEntry result;
  bool open = false;
  for (const FirewallRule& rule : rules) {
    if (!Covers(rule, program, protocol, port)) continue;
    const bool here = (rule.profiles & bit) != 0;
    if (!rule.enabled) {
      if (here && result.rule.empty()) result.rule = rule.name;
      continue;
    }
    if (!rule.allow) {
      if (here) return {Entry::Blocked, rule.name, 0};
      continue;
    }
    if (here)
      open = true;
    else
      result.other |= rule.profiles;
  }
  if (open) return {Entry::Open, "", 0};
  // Turning on the rule that is off is the smaller step for the user.
  if (!result.rule.empty())
    result.entry = Entry::RuleOff;
  else if (result.other != 0)
    result.entry = Entry::Elsewhere;
  return result;
}

}  // namespace help
