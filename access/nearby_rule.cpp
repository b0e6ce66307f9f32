#include "access/nearby_rule.h"

#include "access/adapter_kinds.h"
#include "platform/ipv4.h"

namespace access_policy {
namespace {

using platform::IsLoopback;

// The adapter's on-link prefix, narrowed to a /16 when it is wider.
std::uint32_t NearbyMask(std::uint32_t netmask) {
  return netmask | platform::MaskOfPrefix(kWidestNearbyPrefix);
}

bool IsInServedSubnet(std::uint32_t source, const std::vector<ServedSubnet>& served) {
  if (IsLoopback(source)) return true;
  for (const ServedSubnet& subnet : served) {
    if ((source & subnet.mask) == subnet.network) return true;
  }
  return false;
}

}  // namespace

// Decided once per read of the list, not per datagram: the adapters' kinds
// take string work.
std::vector<ServedSubnet> ServedSubnets(const std::vector<platform::Ipv4Interface>& interfaces) {
  std::vector<ServedSubnet> served;
  for (const platform::Ipv4Interface& own : interfaces) {
    if (!own.up || IsTunnelOrVpn(own)) continue;
    // The loopback adapter's own entry stands for loopback only, which is always served.
    if (IsLoopback(own.address)) continue;
    const std::uint32_t mask = NearbyMask(own.netmask);
    served.push_back({own.address & mask, mask});
  }
  return served;
}

std::vector<std::uint32_t> ServedAddresses(const std::vector<platform::Ipv4Interface>& interfaces) {
  std::vector<std::uint32_t> addresses;
  for (const platform::Ipv4Interface& own : interfaces) {
    if (own.up && !IsTunnelOrVpn(own) && !IsLoopback(own.address)) addresses.push_back(own.address);
  }
  return addresses;
}

bool IsNearbySource(std::uint32_t source, const std::vector<platform::Ipv4Interface>& interfaces) {
  return IsInServedSubnet(source, ServedSubnets(interfaces));
}

TNearbyRule::TNearbyRule(std::function<std::vector<platform::Ipv4Interface>()> list_interfaces,
                         Clock clock, std::chrono::seconds refresh,
                         std::chrono::seconds longest_trust)
    : list_interfaces_(std::move(list_interfaces)),
      clock_(std::move(clock)),
      refresh_(refresh),
      longest_trust_(longest_trust) {}

bool TNearbyRule::IsNearby(std::uint32_t source) {
  // Served whatever the adapters are: the list is not read for it.
  if (IsLoopback(source)) return true;
  std::lock_guard lock(mutex_);
  const auto now = clock_();
  const bool trusted = !stale_ && now - read_at_ < longest_trust_;
  if (trusted && IsInServedSubnet(source, served_)) return true;
  if (trusted && now - read_at_ < refresh_) return false;
  Read(now);
  return IsInServedSubnet(source, served_);
}

std::vector<std::uint32_t> TNearbyRule::Addresses() {
  std::lock_guard lock(mutex_);
  const auto now = clock_();
  if (stale_ || now - read_at_ >= refresh_) Read(now);
  return addresses_;
}

void TNearbyRule::ReadNow() {
  std::lock_guard lock(mutex_);
  Read(clock_());
}

void TNearbyRule::Read(std::chrono::steady_clock::time_point now) {
  const std::vector<platform::Ipv4Interface> interfaces = list_interfaces_();
  served_ = ServedSubnets(interfaces);
  addresses_ = ServedAddresses(interfaces);
  read_at_ = now;
  stale_ = false;
}

void TNearbyRule::AddressesChanged() {
  std::lock_guard lock(mutex_);
  stale_ = true;
}

}  // namespace access_policy
