#include "access/allow_list.h"

namespace access_policy {

TAllowList::TAllowList(platform::IRegistry& registry) : registry_(registry) {}

void TAllowList::Load() {
  devices_.clear();
  for (auto& [name, value] : registry_.ReadStrings(platform::RootKey::CurrentUser, kDevicesKey)) {
    if (!name.empty()) devices_[name] = value;
  }
}

bool TAllowList::Contains(const std::string& device) const { return devices_.count(device) != 0; }

bool TAllowList::Add(const std::string& device, const std::string& seen_at) {
  devices_[device] = seen_at;
  return registry_.WriteString(platform::RootKey::CurrentUser, kDevicesKey, device, seen_at);
}

bool TAllowList::Remove(const std::string& device) {
  devices_.erase(device);
  return registry_.DeleteValue(platform::RootKey::CurrentUser, kDevicesKey, device);
}

std::vector<std::string> TAllowList::Devices() const {
  std::vector<std::string> names;
  for (const auto& entry : devices_) names.push_back(entry.first);
  return names;
}

}  // namespace access_policy
