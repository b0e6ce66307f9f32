#pragma once
// Which senders the host serves: devices on this PC's own subnets, and no
// one beyond them. A far sender gets nothing, not even the probe's answer.
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/sockets.h"

namespace access_policy {

// Any adapter prefix shorter than this counts as the /16 around the
// adapter's own address: a public /8 would admit 16 million hosts.
inline constexpr unsigned kWidestNearbyPrefix = 16;

// The subnets an adapter list serves: the on-link prefix (narrowed to a /16)
// of each adapter that is up and is neither loopback nor a tunnel or VPN.
struct ServedSubnet {
  std::uint32_t network = 0;
  std::uint32_t mask = 0;
};
std::vector<ServedSubnet> ServedSubnets(const std::vector<platform::Ipv4Interface>& interfaces);

// The PC's own addresses on the adapters it serves, in the system's order:
// the addresses a device nearby reaches it at.
std::vector<std::uint32_t> ServedAddresses(const std::vector<platform::Ipv4Interface>& interfaces);

// Loopback, or inside the on-link prefix of an adapter that is up and is not
// a tunnel.
bool IsNearbySource(std::uint32_t source, const std::vector<platform::Ipv4Interface>& interfaces);

// The same decision over the adapter list as it is now: read again, at most
// every `refresh`, when a source is not found in it, at once after the system
// reported an address change, and after `longest_trust` also when a source is
// found, so that a network the PC left stops being served even when no
// report comes (Wine sends none; a report can be lost over sleep). Safe to use
// from several threads.
class TNearbyRule {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit TNearbyRule(std::function<std::vector<platform::Ipv4Interface>()> list_interfaces,
                       Clock clock = std::chrono::steady_clock::now,
                       std::chrono::seconds refresh = std::chrono::seconds(5),
                       std::chrono::seconds longest_trust = std::chrono::seconds(30));
  bool IsNearby(std::uint32_t source);
  // The PC's served addresses from the same list: read again at most every
  // `refresh`, and at once after an address change. Each request to the
  // browser remote asks, and a flood of them must not read the adapters each.
  std::vector<std::uint32_t> Addresses();
  // Any thread: the next source not found reads the list again at once.
  void AddressesChanged();
  // Reads the list now, as after sleep.
  void ReadNow();

 private:
  std::function<std::vector<platform::Ipv4Interface>()> list_interfaces_;
  Clock clock_;
  std::chrono::seconds refresh_;
  std::chrono::seconds longest_trust_;
  std::mutex mutex_;
  // Reads the list; the caller holds the mutex.
  void Read(std::chrono::steady_clock::time_point now);

  std::vector<ServedSubnet> served_;
  std::vector<std::uint32_t> addresses_;
  std::chrono::steady_clock::time_point read_at_{};
  bool stale_ = true;
};

}  // namespace access_policy
