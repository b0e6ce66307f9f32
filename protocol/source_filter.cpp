#include "protocol/source_filter.h"

#include <array>

namespace protocol {
namespace {

struct Range {
  std::uint32_t network;
  std::uint32_t mask;
};

constexpr std::array<Range, 6> kLocalRanges = {{
    {0x7F000000u, 0xFF000000u},  // 127.0.0.0/8 loopback
    {0x0A000000u, 0xFF000000u},  // 10.0.0.0/8 private
    {0xAC100000u, 0xFFF00000u},  // 172.16.0.0/12 private
    {0xC0A80000u, 0xFFFF0000u},  // 192.168.0.0/16 private
    {0xA9FE0000u, 0xFFFF0000u},  // 169.254.0.0/16 link-local
    {0x64400000u, 0xFFC00000u},  // 100.64.0.0/10 shared address space
}};

bool InFixedRanges(std::uint32_t source) {
  for (const Range& range : kLocalRanges) {
    if ((source & range.mask) == range.network) return true;
  }
  return false;
}

}  // namespace

bool IsLocalNetworkSource(std::uint32_t source,
                          const std::vector<platform::Ipv4Interface>& interfaces) {
  if (InFixedRanges(source)) return true;
  for (const platform::Ipv4Interface& own : interfaces) {
    // A subnet mask of 0 would make the whole internet "the local network".
    if (own.netmask == 0) continue;
    if ((source & own.netmask) == (own.address & own.netmask)) return true;
  }
  return false;
}

TLocalNetworkFilter::TLocalNetworkFilter(
    std::function<std::vector<platform::Ipv4Interface>()> list_interfaces, Clock clock,
    std::chrono::seconds refresh)
    : list_interfaces_(std::move(list_interfaces)), clock_(std::move(clock)), refresh_(refresh) {}

bool TLocalNetworkFilter::Accepts(std::uint32_t source) {
  if (InFixedRanges(source)) return true;
  auto now = clock_();
  if (!read_ || now - read_at_ >= refresh_) {
    interfaces_ = list_interfaces_();
    read_at_ = now;
    read_ = true;
  }
  return IsLocalNetworkSource(source, interfaces_);
}

}  // namespace protocol
