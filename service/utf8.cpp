#include "service/utf8.h"

#include <algorithm>
#include <cstdint>

namespace service {
namespace {

// The bytes a lead byte of UTF-8 says follow it, or -1 when it cannot lead.
int FollowersOf(unsigned char lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return -1;
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int followers = FollowersOf(lead);
    if (followers < 0) return false;
    if (followers > 0 && i + static_cast<std::size_t>(followers) >= text.size()) return false;
    std::uint32_t point = followers == 0 ? lead : lead & (0x3F >> followers);
    for (int k = 1; k <= followers; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      point = point << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and points past U+10FFFF.
    static constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (point < kSmallest[followers] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
      return false;
    i += static_cast<std::size_t>(followers) + 1;
  }
  return true;
}

std::u16string Utf16Of(const std::string& utf8, std::size_t& characters) {
  std::u16string wide;
  characters = 0;
  for (std::size_t i = 0; i < utf8.size(); ++characters) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int followers = std::max(FollowersOf(lead), 0);
    std::uint32_t point = followers == 0 ? lead : lead & (0x3F >> followers);
    for (int k = 1; k <= followers && i + static_cast<std::size_t>(k) < utf8.size(); ++k) {
      point =
          point << 6 | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
    }
    i += static_cast<std::size_t>(followers) + 1;
    if (point < 0x10000) {
      wide.push_back(static_cast<char16_t>(point));
    } else {
      point -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
    }
  }
  return wide;
}

}  // namespace service
