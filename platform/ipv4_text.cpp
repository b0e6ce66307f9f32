#include <cstdio>

#include "platform/sockets.h"

namespace platform {

std::string Ipv4ToText(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                (address >> 8) & 0xFFu, address & 0xFFu);
  return text;
}

// Strict dotted-quad: four decimal parts of 0..255, nothing else.
bool Ipv4FromText(const std::string& text, std::uint32_t& address) {
  std::uint32_t result = 0;
  int parts = 0;
  std::size_t i = 0;
  while (parts < 4) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    unsigned value = 0;
    int digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value = value * 10 + static_cast<unsigned>(text[i] - '0');
      if (++digits > 3 || value > 255) return false;
      ++i;
    }
    result = (result << 8) | value;
    ++parts;
    if (parts < 4) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
  }
  if (i != text.size()) return false;
  address = result;
  return true;
}

}  // namespace platform
