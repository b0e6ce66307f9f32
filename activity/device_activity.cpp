#include "activity/device_activity.h"

#include <algorithm>

#include "platform/sockets.h"

namespace activity {
namespace {

constexpr std::size_t kLongestTip = 127;  // the shell's tip holds 128 UTF-16 units with its end
constexpr const char* kName = "Mirovanta 2";

}  // namespace

void TDeviceActivity::Connected(std::uint32_t address, std::uint64_t now_ms) {
  auto [it, added] = entries_.try_emplace(address);
  if (added) it->second = {{address}, now_ms, next_order_++};
  ++it->second.use.connections;
  it->second.heard_ms = now_ms;
  Forget();
}

void TDeviceActivity::Disconnected(std::uint32_t address) {
  auto found = entries_.find(address);
  if (found != entries_.end() && found->second.use.connections > 0) --found->second.use.connections;
}

bool TDeviceActivity::Commanded(std::uint32_t address, std::uint64_t now_ms) {
  auto [it, added] = entries_.try_emplace(address);
  if (added) it->second = {{address}, now_ms, next_order_++};
  const DeviceUse& use = it->second.use;
  const bool was_in_use = !added && (use.connections > 0 ||
                                     (use.commanded && now_ms - use.last_command_ms < kInUseForMs));
  it->second.use.commanded = true;
  it->second.use.last_command_ms = now_ms;
  it->second.heard_ms = now_ms;
  if (added) Forget();
  return !was_in_use;
}

// Beyond the bound, the device not connected and heard from longest ago goes.
void TDeviceActivity::Forget() {
  while (entries_.size() > kRemembered) {
    auto oldest = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->second.use.connections > 0) continue;
      if (oldest == entries_.end() || it->second.heard_ms < oldest->second.heard_ms) oldest = it;
    }
    if (oldest == entries_.end()) return;  // all connected: the server bounds them
    entries_.erase(oldest);
  }
}

std::vector<std::uint32_t> TDeviceActivity::InUse(std::uint64_t now_ms) const {
  std::vector<const Entry*> using_now;
  for (const auto& [address, entry] : entries_) {
    const bool recent = entry.use.commanded && now_ms - entry.use.last_command_ms < kInUseForMs;
    if (entry.use.connections > 0 || recent) using_now.push_back(&entry);
  }
  std::sort(using_now.begin(), using_now.end(),
            [](const Entry* a, const Entry* b) { return a->order < b->order; });
  std::vector<std::uint32_t> addresses;
  for (const Entry* entry : using_now) addresses.push_back(entry->use.address);
  return addresses;
}

std::vector<DeviceUse> TDeviceActivity::Devices() const {
  std::vector<const Entry*> all;
  for (const auto& [address, entry] : entries_) all.push_back(&entry);
  std::sort(all.begin(), all.end(), [](const Entry* a, const Entry* b) {
    const bool a_on = a->use.connections > 0, b_on = b->use.connections > 0;
    if (a_on != b_on) return a_on;
    if (a_on) return a->order < b->order;
    return a->use.last_command_ms > b->use.last_command_ms;
  });
  std::vector<DeviceUse> devices;
  for (const Entry* entry : all) devices.push_back(entry->use);
  return devices;
}

std::string TrayTip(bool paused, const std::vector<std::uint32_t>& in_use) {
  if (paused) return std::string(kName) + " (paused)";
  if (in_use.empty()) return kName;
  std::string tip = std::string(kName) + " \xE2\x80\x94 " + std::to_string(in_use.size()) +
                    (in_use.size() == 1 ? " device connected (" : " devices connected (");
  for (std::size_t i = 0; i < in_use.size(); ++i) {
    const std::string next = (i > 0 ? ", " : "") + platform::Ipv4ToText(in_use[i]);
    // In the shell's units: the dash is one, not three bytes. After this
    // address comes either ")" or, for more, ", …)".
    const std::size_t units = tip.size() - 2 + next.size();
    if (units + (i + 1 < in_use.size() ? 4 : 1) > kLongestTip) {
      tip += ", \xE2\x80\xA6";
      break;
    }
    tip += next;
  }
  return tip + ")";
}

std::string ServingTip(service::Serving serving) {
  switch (serving) {
    case service::Serving::Here: break;
    case service::Serving::OtherUser:
      return "Mirovanta 2 of another user of this PC answers the remote";
    case service::Serving::NotAtConsole:
      return std::string(kName) + " (another user has the screen)";
    case service::Serving::Failed: return std::string(kName) + " (its port is taken: see the log)";
  }
  return kName;
}

std::string UseText(const DeviceUse& use, std::uint64_t now_ms) {
  if (use.connections > 0) return "connected";
  if (!use.commanded) return "";
  const std::uint64_t minutes = (now_ms - use.last_command_ms) / 60000;
  if (minutes == 0) return "last command just now";
  if (minutes < 60) return "last command " + std::to_string(minutes) + " min ago";
  return "last command " + std::to_string(minutes / 60) + " h ago";
}

}  // namespace activity
