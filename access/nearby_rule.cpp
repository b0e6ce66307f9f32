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

}  // namespace

bool IsNearbySource(std::uint32_t source, const std::vector<platform::Ipv4Interface>& interfaces) {
  if (IsLoopback(source)) return true;
  for (const platform::Ipv4Interface& own : interfaces) {
    if (!own.up || IsTunnelOrVpn(own)) continue;
    // The loopback adapter's own entry stands for loopback only, done above.
    if (IsLoopback(own.address)) continue;
    const std::uint32_t mask = NearbyMask(own.netmask);
    if ((source & mask) == (own.address & mask)) return true;
  }
  return false;
}

TNearbyRule::TNearbyRule(std::function<std::vector<platform::Ipv4Interface>()> list_interfaces,
                         Clock clock, std::chrono::seconds refresh,
                         std::chrono::seconds longest_trust)
    : list_interfaces_(std::move(list_interfaces)),
      clock_(std::move(clock)),
      refresh_(refresh),
      longest_trust_(longest_trust) {}

bool TNearbyRule::IsNearby(std::uint32_t source) {
  std::lock_guard lock(mutex_);
  const auto now = clock_();
  const bool trusted = !stale_ && now - read_at_ < longest_trust_;
  if (trusted && IsNearbySource(source, interfaces_)) return true;
  if (trusted && now - read_at_ < refresh_) return false;
  interfaces_ = list_interfaces_();
  read_at_ = now;
  stale_ = false;
  return IsNearbySource(source, interfaces_);
}

void TNearbyRule::AddressesChanged() {
  std::lock_guard lock(mutex_);
  stale_ = true;
}

}  // namespace access_policy
