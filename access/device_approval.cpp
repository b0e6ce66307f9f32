#include "access/device_approval.h"

#include <algorithm>

#include "platform/ipv4.h"
#include "platform/sockets.h"

namespace access_policy {

TDeviceApproval::TDeviceApproval(TAllowList& allow_list,
                                 std::function<std::string(std::uint32_t)> hardware_address,
                                 std::function<std::uint64_t()> now_ms,
                                 std::function<platform::LocalTime()> local_now)
    : allow_list_(allow_list),
      hardware_address_(std::move(hardware_address)),
      now_ms_(std::move(now_ms)),
      local_now_(std::move(local_now)) {}

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
  if (AskingStopped()) return ApprovalDecision::AskingStopped;
  const bool by_ip = key == platform::Ipv4ToText(address);
  if (by_ip && !shown_.Contains(address)) return ApprovalDecision::NotAsked;
  const std::uint64_t now = now_ms_();
  const Device device{key, address, local_now_ ? local_now_() : platform::LocalTime{}};
  if (line_.empty() && Due(now)) {
    StartAsking(device, now);
    return ApprovalDecision::AskUser;
  }
  // No room: nothing is kept about it; it is asked about at a later command.
  if (line_.size() < kWaitingLine) line_.push_back(device);
  return ApprovalDecision::Drop;
}

void TDeviceApproval::ShowedItself(std::uint32_t address) { shown_.Insert(address); }

bool TDeviceApproval::Due(std::uint64_t now) const {
  if (asking_) return false;
  if (asked_at_ && now - *asked_at_ < kBetweenQuestionsMs) return false;
  return !answered_at_ || now - *answered_at_ >= kAfterAnswerMs;
}

void TDeviceApproval::StartAsking(const Device& device, std::uint64_t now) {
  const bool in_run = answered_at_ && now - *answered_at_ < kRunOfQuestionsMs;
  run_ = in_run ? run_ + 1 : 1;
  asking_ = AskedDevice{device.key, device.address, device.first_sent, run_, run_ + line_.size()};
  asked_at_ = now;
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

std::vector<std::uint32_t> TDeviceApproval::Answer(ApprovalAnswer answer) {
  if (!asking_) return {};
  const AskedDevice asked = *asking_;
  asking_.reset();
  answered_at_ = now_ms_();
  // A device asked about under its IPv4 address may be known by its
  // hardware address by now: the decision is kept under that.
  const bool by_ip = asked.key == platform::Ipv4ToText(asked.address);
  const std::string key = by_ip ? DeviceKey(asked.address) : asked.key;
  if (answer == ApprovalAnswer::Allow) {
    allow_list_.Add(key, platform::Ipv4ToText(asked.address));
    return {};
  }
  Refuse(asked.key, asked.address);
  if (key != asked.key) refused_.Insert(key);
  std::vector<std::uint32_t> refused{asked.address};
  if (answer != ApprovalAnswer::DenyAllWaiting) return refused;
  for (const Device& waiting : line_) {
    Refuse(waiting.key, waiting.address);
    refused.push_back(waiting.address);
  }
  line_.clear();
  return refused;
}

void TDeviceApproval::Refuse(const std::string& key, std::uint32_t address) {
  refused_.Insert(key);
  trusted_at_.erase(address);
}

std::optional<std::uint64_t> TDeviceApproval::NextQuestionInMs() {
  if (asking_ || line_.empty()) return std::nullopt;
  const std::uint64_t now = now_ms_();
  std::uint64_t due = now;
  if (asked_at_) due = std::max(due, *asked_at_ + kBetweenQuestionsMs);
  if (answered_at_) due = std::max(due, *answered_at_ + kAfterAnswerMs);
  return due - now;
}

std::optional<std::uint32_t> TDeviceApproval::TakeNext() {
  const std::uint64_t now = now_ms_();
  while (!line_.empty() && Due(now)) {
    Device next = line_.front();
    line_.pop_front();
    // The answer just given may have settled it already.
    if (allow_list_.Contains(next.key) || refused_.Contains(next.key)) continue;
    StartAsking(next, now);
    return next.address;
  }
  return std::nullopt;
}

void TDeviceApproval::StopAsking() {
  stop_until_ = now_ms_() + kStopAskingMs;
  asking_.reset();
  line_.clear();
}

bool TDeviceApproval::AskingStopped() { return stop_until_ != 0 && now_ms_() < stop_until_; }

bool TDeviceApproval::Refused(std::uint32_t address) {
  if (platform::IsLoopback(address) || refused_.Size() == 0) return false;
  return refused_.Contains(DeviceKey(address));
}

void TDeviceApproval::Forget(const std::string& device) {
  allow_list_.Remove(device);
  trusted_at_.clear();  // which addresses went by that device is not kept
}

}  // namespace access_policy
