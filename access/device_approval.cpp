#include "access/device_approval.h"

#include "platform/ipv4.h"
#include "platform/sockets.h"

namespace access_policy {
namespace {}  // namespace

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
  if (pending_.count(address) || refused_.count(address)) return ApprovalDecision::Drop;
  const std::uint64_t now = now_ms_();
  if (auto found = allowed_at_.find(address);
      found != allowed_at_.end() && now - found->second < kRecheckAfterMs) {
    return ApprovalDecision::CarryOut;
  }
  // The neighbour table, not the address, tells which device this is now.
  const std::string key = DeviceKey(address);
  if (allow_list_.Contains(key)) {
    allowed_at_[address] = now;
    return ApprovalDecision::CarryOut;
  }
  allowed_at_.erase(address);
  pending_.insert(address);
  keys_[address] = key;
  return ApprovalDecision::AskUser;
}

void TDeviceApproval::Answer(std::uint32_t address, ApprovalAnswer answer) {
  if (!pending_.erase(address)) return;
  if (answer == ApprovalAnswer::Allow) {
    const std::string key = keys_.count(address) ? keys_[address] : DeviceKey(address);
    allow_list_.Add(key, platform::Ipv4ToText(address));
    return;
  }
  refused_.insert(address);
}

void TDeviceApproval::Forget(const std::string& device) {
  allow_list_.Remove(device);
  allowed_at_.clear();  // which addresses went by that device is not kept
}

}  // namespace access_policy
