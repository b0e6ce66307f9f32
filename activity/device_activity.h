#pragma once
// Which devices use the host now: those holding a presence connection, and
// those that had a command carried out in the last minute. The tray shows it
// at a glance (the in-use icon and its tip) and the Devices menu in full.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "service/host_events.h"

namespace activity {

struct DeviceUse {
  std::uint32_t address = 0;
  int connections = 0;     // presence connections held now
  bool commanded = false;  // a command was carried out for it
  std::uint64_t last_command_ms = 0;
};

class TDeviceActivity {
 public:
  static constexpr std::uint64_t kInUseForMs = 60 * 1000;
  // Devices remembered for the menu; the one heard from longest ago goes first.
  static constexpr std::size_t kRemembered = 16;

  void Connected(std::uint32_t address, std::uint64_t now_ms);
  void Disconnected(std::uint32_t address);
  // True when the command made the device in use: only then do the icon,
  // the tip and the name need a look.
  bool Commanded(std::uint32_t address, std::uint64_t now_ms);

  // The devices that make the host "in use" now, in the order first heard.
  std::vector<std::uint32_t> InUse(std::uint64_t now_ms) const;
  // Every remembered device, those connected now first, then by last command.
  std::vector<DeviceUse> Devices() const;

 private:
  struct Entry {
    DeviceUse use;
    std::uint64_t heard_ms = 0;  // last connect or command
    std::uint64_t order = 0;     // when first heard, for a steady order
  };
  void Forget();

  std::map<std::uint32_t, Entry> entries_;
  std::uint64_t next_order_ = 0;
};

// The tray tip: "Mirovanta 2 (paused)", "Mirovanta 2 — 1 device connected
// (192.168.1.37)" or "Mirovanta 2"; never longer than the shell shows.
std::string TrayTip(bool paused, const std::vector<std::uint32_t>& in_use);
// The tray tip of an idle host while only paired browsers may drive it.
inline constexpr const char* kBrowsersOnlyTip = "Mirovanta 2 (only paired browsers)";
// The tray tip while this host does not serve the ports.
std::string ServingTip(service::Serving serving);

// "connected", "last command just now", "last command 2 min ago" ...
std::string UseText(const DeviceUse& use, std::uint64_t now_ms);

}  // namespace activity
