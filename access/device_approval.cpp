#include "access/device_approval.h"

#include "platform/ipv4.h"
#include "platform/sockets.h"

namespace access_policy {

TDeviceApproval::TDeviceApproval(TAllowList& allow_list,
                                 std::function<std::string(std::uint32_t)> hardware_address,
                                 std::function<std::uint64_t()> now_ms)
    : allow_list_(allow_list),
      hardware_address_(std::move(hardware_address)),
      now_ms_(std::move(now_ms)) {}

std::string TDeviceApproval::DeviceKey(std::uint32_t address) {
  const std::string hardware = hardware_address_ ? hardware_address_(address) : "";
  return hardware.empty() ? platform::Ipv4ToText(address) : hardware;
}

std::string TDeviceApproval::DeviceText(std::uint32_t address) {
  const std::string hardware = hardware_address_ ? hardware_address_(address) : "";
  const std::string ip = platform::Ipv4ToText(address);
  return hardware.empty() ? ip : ip + " (" + hardware + ")";
}

ApprovalDecision TDeviceApproval::Decide(std::uint32_t address) {
  if (platform::IsLoopback(address) || !Ask) return ApprovalDecision::CarryOut;
  if (auto found = trusted_at_.find(address);
      found != trusted_at_.end() && now_ms_() - found->second < kRecheckAfterMs) {
    return ApprovalDecision::CarryOut;
  }
  // The neighbour table, not the address, tells which device this is now.
  const std::string key = DeviceKey(address);
  if (Allowed(key, address)) {
    Trust(address);
    return ApprovalDecision::CarryOut;
  }
  trusted_at_.erase(address);
  if (refused_.Contains(key) || Waits(key)) return ApprovalDecision::Drop;
  if (!asking_) {
    asking_ = Device{key, address};
    return ApprovalDecision::AskUser;
  }
  // No room: nothing is kept about it; it is asked about at a later command.
  if (line_.size() < kWaitingLine) line_.push_back({key, address});
  return ApprovalDecision::Drop;
}

// An entry kept under the IPv4 address (allowed before the neighbour table
// knew the device) moves to the hardware address once that is known.
bool TDeviceApproval::Allowed(const std::string& key, std::uint32_t address) {
  if (allow_list_.Contains(key)) return true;
  const std::string ip = platform::Ipv4ToText(address);
  if (key == ip || !allow_list_.Contains(ip)) return false;
  // Written under the new name first: a registry that refuses the move
  // leaves the device allowed all the same.
  allow_list_.Add(key, ip);
  allow_list_.Remove(ip);
  return true;
}

bool TDeviceApproval::Waits(const std::string& key) const {
  if (asking_ && asking_->key == key) return true;
  for (const Device& device : line_) {
    if (device.key == key) return true;
  }
  return false;
}

void TDeviceApproval::Trust(std::uint32_t address) {
  // Only a shortcut past the neighbour table: starting it over costs a lookup each.
  if (trusted_at_.size() >= kTrustedAddresses) trusted_at_.clear();
  trusted_at_[address] = now_ms_();
}

std::optional<std::uint32_t> TDeviceApproval::Answer(ApprovalAnswer answer) {
  if (!asking_) return std::nullopt;
  const Device asked = *asking_;
  asking_.reset();
  // A device asked about under its IPv4 address may be known by its
  // hardware address by now: the decision is kept under that.
  const bool by_ip = asked.key == platform::Ipv4ToText(asked.address);
  const std::string key = by_ip ? DeviceKey(asked.address) : asked.key;
  if (answer == ApprovalAnswer::Allow) {
    allow_list_.Add(key, platform::Ipv4ToText(asked.address));
  } else {
    refused_.Insert(asked.key);
    refused_.Insert(key);
  }
  return NextToAsk();
}

std::optional<std::uint32_t> TDeviceApproval::NextToAsk() {
  while (!line_.empty()) {
    Device next = line_.front();
    line_.pop_front();
    // The answer just given may have settled it already.
    if (allow_list_.Contains(next.key) || refused_.Contains(next.key)) continue;
    asking_ = next;
    return next.address;
  }
  return std::nullopt;
}

bool TDeviceApproval::Refused(std::uint32_t address) {
  if (platform::IsLoopback(address) || refused_.Size() == 0) return false;
  return refused_.Contains(DeviceKey(address));
}

void TDeviceApproval::Forget(const std::string& device) {
  allow_list_.Remove(device);
  trusted_at_.clear();  // which addresses went by that device is not kept
}

}  // namespace access_policy
