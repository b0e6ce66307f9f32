#include "activity/recent_devices.h"

#include <algorithm>

namespace activity {

void TRecentDevices::Note(std::uint32_t address, const std::string& hardware, Heard what,
                          const platform::LocalTime& at) {
  std::lock_guard lock(mutex_);
  // A flood from one device finds itself first and only updates in place.
  if (!devices_.empty() && devices_.front().address == address) {
    HeardDevice& front = devices_.front();
    front.what = what;
    front.at = at;
    if (!hardware.empty()) front.hardware = hardware;
    return;
  }
  HeardDevice device{address, hardware, what, at};
  auto found = std::find_if(devices_.begin(), devices_.end(),
                            [address](const HeardDevice& d) { return d.address == address; });
  if (found != devices_.end()) {
    if (hardware.empty()) device.hardware = found->hardware;
    devices_.erase(found);
  } else if (devices_.size() == kShown) {
    devices_.pop_back();
  }
  devices_.insert(devices_.begin(), std::move(device));
}

std::vector<HeardDevice> TRecentDevices::Newest() const {
  std::lock_guard lock(mutex_);
  return devices_;
}

bool TRecentDevices::HardwareKnown(std::uint32_t address) const {
  std::lock_guard lock(mutex_);
  return std::any_of(devices_.begin(), devices_.end(), [address](const HeardDevice& d) {
    return d.address == address && !d.hardware.empty();
  });
}

}  // namespace activity
