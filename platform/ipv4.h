#pragma once
// The small rules of IPv4 addresses, held in host byte order.
#include <cstdint>

namespace platform {

inline constexpr std::uint32_t kLoopbackAddress = 0x7F000001u;  // 127.0.0.1

// The netmask of a prefix length: 0 for /0, all ones for /32 and beyond.
constexpr std::uint32_t MaskOfPrefix(unsigned length) {
  return length == 0 ? 0 : length >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - length)) - 1);
}

// 127.0.0.0/8: this machine itself.
constexpr bool IsLoopback(std::uint32_t address) {
  return (address & MaskOfPrefix(8)) == (kLoopbackAddress & MaskOfPrefix(8));
}

}  // namespace platform
