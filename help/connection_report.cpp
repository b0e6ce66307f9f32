#include "help/connection_report.h"

#include <bit>
#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "access/adapter_kinds.h"
#include "access/nearby_rule.h"
#include "help/firewall_check.h"
#include "platform/ipv4.h"

namespace help {
namespace {

using platform::NetworkProfile;
using platform::RuleProtocol;

constexpr NetworkProfile kProfiles[] = {NetworkProfile::Domain, NetworkProfile::Private,
                                        NetworkProfile::Public};
constexpr char kFirewallPlace[] = "Windows Defender Firewall > Advanced settings > Inbound Rules";
constexpr char kMakePrivate[] =
    "make it Private in Settings, or run the setup again and choose Also allow on public "
    "networks.";
constexpr char kAllowAnApp[] =
    "run the setup again, or allow Mirovanta 2 in Windows Defender Firewall > Allow an app.";

std::size_t ProfileIndex(NetworkProfile profile) {
  switch (profile) {
    case NetworkProfile::Domain: return 0;
    case NetworkProfile::Private: return 1;
    case NetworkProfile::Public: break;
  }
  return 2;
}

std::string ProfileWord(NetworkProfile profile) {
  switch (profile) {
    case NetworkProfile::Domain: return "Domain";
    case NetworkProfile::Private: return "Private";
    case NetworkProfile::Public: break;
  }
  return "Public";
}

// "Private and Domain", from a rule's profile bits.
std::string ProfileWords(unsigned bits) {
  std::string words;
  for (NetworkProfile profile :
       {NetworkProfile::Private, NetworkProfile::Domain, NetworkProfile::Public}) {
    if ((bits & static_cast<unsigned>(profile)) == 0) continue;
    if (!words.empty()) words += " and ";
    words += ProfileWord(profile);
  }
  return words;
}

// One allocation per sentence, and one function for all of them: the words
// are many and the program is kept small.
std::string Cat(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  std::string text;
  text.reserve(size);
  for (std::string_view part : parts) text.append(part);
  return text;
}

std::string Subnet(std::uint32_t network, std::uint32_t mask) {
  return Cat({platform::Ipv4ToText(network & mask), "/", std::to_string(std::popcount(mask))});
}

std::string Quoted(std::string_view text) { return Cat({"\"", text, "\""}); }

std::string Clock(const platform::LocalTime& at, const platform::LocalTime& now) {
  char text[32];
  if (at.year == now.year && at.month == now.month && at.day == now.day) {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", at.hour, at.minute, at.second);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", at.year, at.month, at.day,
                  at.hour, at.minute, at.second);
  }
  return text;
}

// What to do about one protocol the firewall does not let in; the network's
// own lead sentence is dropped when the advice names the network itself.
std::string Advice(const PortEntry& entry, const std::string& protocol,
                   const platform::ConnectedNetwork& network, std::uint16_t port,
                   bool& names_network) {
  const std::string on = Cat({protocol, " ", std::to_string(port)});
  switch (entry.entry) {
    case Entry::Open: return "";
    case Entry::Blocked:
      return Cat({"The firewall rule ", Quoted(entry.rule), " blocks Mirovanta 2 on ", on,
                  ": turn it off in ", kFirewallPlace, "."});
    case Entry::RuleOff:
      return Cat({"The firewall rule ", Quoted(entry.rule), " is turned off: turn it on in ",
                  kFirewallPlace, ", or run the setup again."});
    case Entry::Elsewhere:
      if (network.profile == NetworkProfile::Public && network.name.empty()) {
        return Cat({"The firewall rules of Mirovanta 2 cover ", ProfileWords(entry.other),
                    " networks only: on a Public network, ", kMakePrivate});
      }
      if (network.profile == NetworkProfile::Public) {
        names_network = true;
        return Cat({"The network ", Quoted(network.name),
                    " is Public and the firewall rules of Mirovanta 2 cover ",
                    ProfileWords(entry.other), " networks only: ", kMakePrivate});
      }
      return Cat({"The firewall rules of Mirovanta 2 cover ", ProfileWords(entry.other),
                  " networks only, not ", ProfileWord(network.profile), " ones: ", kAllowAnApp});
    case Entry::NoRule: break;
  }
  return Cat({"Windows Firewall has no rule that lets Mirovanta 2 in on ", on, ": ", kAllowAnApp});
}

std::string FirewallWords(const platform::ConnectedNetwork& network, const NetworkFacts& facts,
                          const std::string& program, std::uint16_t port, bool& names_network) {
  const std::string kind = ProfileWord(network.profile);
  const std::optional<bool> on = facts.firewall_on[ProfileIndex(network.profile)];
  if (!on) return "Whether Windows Firewall lets Mirovanta 2 in: unknown.";
  if (!*on) return Cat({"Windows Firewall is off for ", kind, " networks."});
  if (!facts.rules) {
    return Cat({"Windows Firewall is on for ", kind,
                " networks; whether it lets Mirovanta 2 in: unknown."});
  }
  const PortEntry udp = CheckPort(*facts.rules, program, RuleProtocol::Udp, port, network.profile);
  const PortEntry tcp = CheckPort(*facts.rules, program, RuleProtocol::Tcp, port, network.profile);
  if (udp.entry == Entry::Open && tcp.entry == Entry::Open) {
    return Cat({"Windows Firewall lets Mirovanta 2 in on UDP and TCP ", std::to_string(port), "."});
  }
  // The same trouble on both protocols is said once.
  if (udp.entry == tcp.entry && udp.rule == tcp.rule && udp.other == tcp.other) {
    return Advice(udp, "UDP and TCP", network, port, names_network);
  }
  const std::string udp_advice = Advice(udp, "UDP", network, port, names_network);
  const std::string tcp_advice = Advice(tcp, "TCP", network, port, names_network);
  if (udp_advice.empty() || tcp_advice.empty()) return udp_advice + tcp_advice;
  return Cat({udp_advice, " ", tcp_advice});
}

std::string HeardWords(const activity::HeardDevice& device,
                       const std::vector<platform::Ipv4Interface>& adapters) {
  switch (device.what) {
    case activity::Heard::Served: return "served.";
    case activity::Heard::Waiting: return "waiting for your answer to the question on the screen.";
    case activity::Heard::Denied: return "denied (you chose Deny for it).";
    case activity::Heard::Paused: return "not served: remote control is paused.";
    case activity::Heard::Locked: return "keys and pointer not sent: this PC is locked.";
    case activity::Heard::BrowsersOnly: return "dropped: only paired browsers may control this PC.";
    case activity::Heard::NotAsked:
      return "not asked about: this PC does not know its hardware address yet. Open the remote "
             "app on it again: its connection lets it be asked about.";
    case activity::Heard::AskingStopped:
      return "not asked about: you stopped asking for 10 minutes (tray menu).";
    case activity::Heard::Far: break;
  }
  std::string needed;
  for (const access_policy::ServedSubnet& subnet : access_policy::ServedSubnets(adapters)) {
    if (!needed.empty()) needed += " or ";
    needed += Subnet(subnet.network, subnet.mask);
  }
  if (needed.empty()) return "not on this PC's network (this PC serves no network now).";
  return Cat({"not on this PC's network (it would need an address in ", needed, ")."});
}

void Section(std::string& report, const char* title) {
  report.append("\n").append(title).append("\n");
}

}  // namespace

NetworkFacts ReadNetworkFacts(platform::INetworkStatus& status, platform::ISystem& system) {
  NetworkFacts facts;
  facts.networks = status.ConnectedNetworks();
  for (NetworkProfile profile : kProfiles) {
    facts.firewall_on[ProfileIndex(profile)] = status.FirewallOn(profile);
  }
  facts.rules = status.InboundRules();
  // Rules made in the firewall's own windows name the program as
  // "%ProgramFiles%\...": compared with the host's path once expanded.
  if (!facts.rules) return facts;
  for (platform::FirewallRule& rule : *facts.rules) {
    if (rule.program.find('%') != std::string::npos) {
      rule.program = system.ExpandEnvironment(rule.program);
    }
  }
  return facts;
}

std::string AdapterLine(const platform::Ipv4Interface& adapter) {
  const std::string name = Quoted(adapter.description.empty() ? "Adapter" : adapter.description);
  const std::string own = Cat({name, " ", platform::Ipv4ToText(adapter.address), "/",
                               std::to_string(std::popcount(adapter.netmask)), ": "});
  if (platform::IsLoopback(adapter.address)) return own + "this PC itself, always served.";
  if (!adapter.up) return own + "not served, because it is down.";
  if (access_policy::IsTunnelOrVpn(adapter)) {
    return own +
           "not served, because it is a VPN or tunnel adapter (its network is at the far "
           "end of the tunnel).";
  }
  const std::uint32_t widest = platform::MaskOfPrefix(access_policy::kWidestNearbyPrefix);
  if ((adapter.netmask | widest) != adapter.netmask) {
    return Cat({own, "served as ", Subnet(adapter.address, widest),
                " only: a wider network is narrowed to the /16 around this PC's address."});
  }
  return Cat({own, "served: devices with an address in ", Subnet(adapter.address, adapter.netmask),
              " may use Mirovanta 2."});
}

std::string NetworkLine(const platform::ConnectedNetwork& network, const NetworkFacts& facts,
                        const std::string& program, std::uint16_t port) {
  bool names_network = false;
  const std::string firewall = FirewallWords(network, facts, program, port, names_network);
  if (names_network || network.name.empty()) return firewall;
  return Cat(
      {"The network ", Quoted(network.name), " is ", ProfileWord(network.profile), ". ", firewall});
}

std::string DeviceLine(const activity::HeardDevice& device,
                       const std::vector<platform::Ipv4Interface>& adapters,
                       const platform::LocalTime& now) {
  std::string who = platform::Ipv4ToText(device.address);
  if (!device.hardware.empty()) who = Cat({who, " (", device.hardware, ")"});
  return Cat({Clock(device.at, now), "  ", who, ": ", HeardWords(device, adapters)});
}

std::string ConnectionReport(const HostFacts& host, const NetworkFacts& network) {
  // No clock in the words: the view is refreshed only when they change, and
  // a refresh takes away the reader's selection.
  std::string report = Cat({kHelpCaption, "\n"});
  report += Cat({"This PC: ", host.computer_name.empty() ? "unknown" : host.computer_name, "\n"});
  if (host.locked) report += Cat({kLockedWords, ".\n"});
  if (host.browsers_only) report += Cat({kBrowsersOnlyWords, ".\n"});
  if (host.other_user_serves) {
    report += Cat({kOtherUserWords,
                   ": the ports are this user's again when they come back to "
                   "the screen.\n"});
  }
  if (host.not_at_console) {
    report +=
        "This user's session is not at the PC's screen: Mirovanta 2 answers the remote "
        "again when it is.\n";
  }

  Section(report, "Network adapters");
  if (host.adapters.empty()) report += "Windows lists no network adapter with an IPv4 address.\n";
  for (const auto& adapter : host.adapters) report.append(AdapterLine(adapter)).append("\n");

  Section(report, "Networks and Windows Firewall");
  if (!network.networks) {
    // Without the networks, the firewall as it stands for each kind of network.
    report += "The networks this PC is connected to and their profiles: unknown.\n";
    for (NetworkProfile profile :
         {NetworkProfile::Private, NetworkProfile::Public, NetworkProfile::Domain}) {
      report +=
          Cat({"On ", ProfileWord(profile),
               " networks: ", NetworkLine({"", profile}, network, host.program, host.port), "\n"});
    }
  } else if (network.networks->empty()) {
    report += "Windows lists no connected network.\n";
  }
  for (const auto& each : network.networks.value_or(std::vector<platform::ConnectedNetwork>{})) {
    report.append(NetworkLine(each, network, host.program, host.port)).append("\n");
  }

  Section(report, "Ports");
  const std::string port = std::to_string(host.port);
  report += Cat({"UDP ", port, " (commands and the app's search): ",
                 host.udp_listening ? "listening.\n" : "not listening.\n"});
  report +=
      Cat({"TCP ", port,
           " (the app's connection): ", host.tcp_listening ? "listening.\n" : "not listening.\n"});
  report += Cat({"TCP ", std::to_string(host.browser_port), " (the browser remote's page): ",
                 host.browser_listening ? "listening.\n" : "not listening.\n"});

  Section(report, "Paired browsers");
  if (host.browsers.empty()) report += "None: \"Pair a browser\" in the tray menu pairs one.\n";
  for (const std::string& browser : host.browsers) report.append(browser).append("\n");

  Section(report, "Devices heard from, newest first");
  if (host.devices.empty()) report += "None since Mirovanta 2 started.\n";
  for (const auto& device : host.devices) {
    report.append(DeviceLine(device, host.adapters, host.now)).append("\n");
  }
  return report;
}

}  // namespace help
