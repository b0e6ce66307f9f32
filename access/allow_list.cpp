#include "access/allow_list.h"

#include <cstdint>

#include "platform/sockets.h"

namespace access_policy {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "aa-bb-cc-dd-ee-ff" from six hex pairs joined by "-" or ":", else "".
std::string HardwareName(const std::string& text) {
  constexpr char kDigits[] = "0123456789abcdef";
  if (text.size() != 17) return "";
  std::string name;
  int value_or = 0;
  int value_and = 0xFF;
  for (std::size_t pair = 0; pair < 6; ++pair) {
    const std::size_t at = pair * 3;
    const int high = HexDigit(text[at]);
    const int low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) return "";
    if (pair < 5 && text[at + 2] != '-' && text[at + 2] != ':') return "";
    const int value = high * 16 + low;
    value_or |= value;
    value_and &= value;
    if (pair > 0) name += '-';
    name += kDigits[high];
    name += kDigits[low];
  }
  // All zero: no address at all; all ones: the broadcast address.
  if (value_or == 0 || value_and == 0xFF) return "";
  return name;
}

}  // namespace

std::string DeviceName(const std::string& text) {
  if (std::string hardware = HardwareName(text); !hardware.empty()) return hardware;
  std::uint32_t address = 0;
  return platform::Ipv4FromText(text, address) ? text : "";
}

TAllowList::TAllowList(platform::IRegistry& registry) : registry_(registry) {}

void TAllowList::Load() {
  devices_.clear();
  stored_as_.clear();
  for (auto& [name, value] : registry_.ReadStrings(platform::RootKey::CurrentUser, kDevicesKey)) {
    const std::string device = DeviceName(name);
    if (device.empty()) continue;  // names no device: never matches a sender
    devices_[device] = value;
    if (device != name) stored_as_[device] = name;
  }
}

bool TAllowList::Contains(const std::string& device) const {
  const std::string name = DeviceName(device);
  return !name.empty() && devices_.count(name) != 0;
}

bool TAllowList::Add(const std::string& device, const std::string& seen_at) {
  const std::string name = DeviceName(device).empty() ? device : DeviceName(device);
  devices_[name] = seen_at;
  return registry_.WriteString(platform::RootKey::CurrentUser, kDevicesKey, name, seen_at);
}

// Removes the value under the name the registry holds it by, and the one form.
bool TAllowList::Remove(const std::string& device) {
  const std::string name = DeviceName(device).empty() ? device : DeviceName(device);
  devices_.erase(name);
  bool removed = true;
  if (auto stored = stored_as_.find(name); stored != stored_as_.end()) {
    removed = registry_.DeleteValue(platform::RootKey::CurrentUser, kDevicesKey, stored->second);
    stored_as_.erase(stored);
  }
  return registry_.DeleteValue(platform::RootKey::CurrentUser, kDevicesKey, name) && removed;
}

std::vector<std::string> TAllowList::Devices() const {
  std::vector<std::string> names;
  for (const auto& entry : devices_) names.push_back(entry.first);
  return names;
}

}  // namespace access_policy
