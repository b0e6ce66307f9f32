#pragma once
// Which senders the host listens to: the local network it is made for, and no
// one beyond it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/sockets.h"

namespace protocol {

// Loopback, private, link-local and shared-address-space sources, or a source
// inside the subnet of one of `interfaces`.
bool IsLocalNetworkSource(std::uint32_t source,
                          const std::vector<platform::Ipv4Interface>& interfaces);

// The same decision with the interface list read only for sources outside the
// fixed ranges, and then at most once per `refresh` period.
class TLocalNetworkFilter {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  TLocalNetworkFilter(std::function<std::vector<platform::Ipv4Interface>()> list_interfaces,
                      Clock clock = std::chrono::steady_clock::now,
                      std::chrono::seconds refresh = std::chrono::seconds(5));
  bool Accepts(std::uint32_t source);

 private:
  std::function<std::vector<platform::Ipv4Interface>()> list_interfaces_;
  Clock clock_;
  std::chrono::seconds refresh_;
  std::vector<platform::Ipv4Interface> interfaces_;
  std::chrono::steady_clock::time_point read_at_{};
  bool read_ = false;
};

}  // namespace protocol
