#pragma once
// The connection help's words: why a device is served or not, in sentences a
// Windows user understands, from what the host and the system say now.
// Anything the system would not say reads "unknown".
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "activity/recent_devices.h"
#include "platform/network_status.h"
#include "platform/sockets.h"
#include "platform/system.h"

namespace help {

inline constexpr char kHelpCaption[] = "Mirovanta 2 Connection help";

// What Windows says of the networks and the firewall; read when the view
// opens and when the adapters change, not for every refresh of the devices.
struct NetworkFacts {
  std::optional<std::vector<platform::ConnectedNetwork>> networks;
  std::array<std::optional<bool>, 3> firewall_on{};  // Domain, Private, Public
  std::optional<std::vector<platform::FirewallRule>> rules;
};
NetworkFacts ReadNetworkFacts(platform::INetworkStatus& status, platform::ISystem& system);

inline constexpr const char* kLockedWords =
    "This PC is locked: the remote's keys and pointer cannot reach it until you unlock it";
inline constexpr const char* kBrowsersOnlyWords =
    "Only paired browsers may control this PC: the app gets no answer and its commands are "
    "dropped until you turn that off in the tray menu";
inline constexpr const char* kOtherUserWords =
    "Mirovanta 2 of another user of this PC answers the remote";

struct HostFacts {
  std::string computer_name;
  std::string program;  // the host's own full path, as firewall rules name it
  std::uint16_t port = 1565;
  bool udp_listening = false;
  bool tcp_listening = false;
  std::uint16_t browser_port = 1566;
  bool browser_listening = false;
  bool locked = false;                // this session's lock screen is up
  bool browsers_only = false;         // "Only paired browsers may control this PC"
  bool other_user_serves = false;     // another session's host has the ports
  bool not_at_console = false;        // this session is not at the screen, and no host serves
  std::vector<std::string> browsers;  // the paired browsers, as the Devices menu names them
  std::vector<platform::Ipv4Interface> adapters;
  std::vector<activity::HeardDevice> devices;  // newest first
  platform::LocalTime now{};
};

std::string AdapterLine(const platform::Ipv4Interface& adapter);
// A network without a name stands for every network of its profile.
std::string NetworkLine(const platform::ConnectedNetwork& network, const NetworkFacts& facts,
                        const std::string& program, std::uint16_t port);
std::string DeviceLine(const activity::HeardDevice& device,
                       const std::vector<platform::Ipv4Interface>& adapters,
                       const platform::LocalTime& now);

// The whole view, as shown and as copied.
std::string ConnectionReport(const HostFacts& host, const NetworkFacts& network);

}  // namespace help
