#pragma once
// The devices the user allowed to drive this PC, kept in the registry: one
// string value per device under HKEY_CURRENT_USER, named by its hardware
// address when known (a phone whose IPv4 address changes stays allowed),
// else by its IPv4 address; the value holds the address it was allowed at.
#include <map>
#include <string>
#include <vector>

#include "access/access_settings.h"
#include "platform/registry.h"

namespace access_policy {

// The one form a device name is kept and compared in: a hardware address as
// six lower-case pairs joined by "-" (from any case, "-" or ":"), or a dotted
// IPv4 address; "" for anything else, and for the broadcast and all-zero
// hardware addresses, which name no single device.
std::string DeviceName(const std::string& text);

class TAllowList {
 public:
  explicit TAllowList(platform::IRegistry& registry);

  // Reads the list as the registry holds it now; names in another form are
  // kept in the one form, names of no device are passed over.
  void Load();
  bool Contains(const std::string& device) const;
  // False when the registry refused it; the device is allowed for this run all the same.
  bool Add(const std::string& device, const std::string& seen_at);
  bool Remove(const std::string& device);
  // The device names, in order.
  std::vector<std::string> Devices() const;
  // Each device with the address it was allowed at.
  const std::map<std::string, std::string>& Entries() const { return devices_; }

 private:
  platform::IRegistry& registry_;
  std::map<std::string, std::string> devices_;
  // The value names as the registry holds them, by device, where they differ.
  std::map<std::string, std::string> stored_as_;
};

}  // namespace access_policy
