#include "help/copy_text.h"

namespace help {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point at `at`, moving past it; a bad sequence moves one byte.
char32_t Decode(const std::string& text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  int follow = 0;
  char32_t point = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    follow = 1, point = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    follow = 2, point = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    follow = 3, point = lead & 0x07, least = 0x10000;
  } else {
    return kReplacement;
  }
  const std::size_t start = at;
  for (int i = 0; i < follow; ++i, ++at) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
      at = start;
      return kReplacement;
    }
    point = (point << 6) | (static_cast<unsigned char>(text[at]) & 0x3F);
  }
  const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
  if (point < least || point > 0x10FFFF || surrogate) {
    at = start;
    return kReplacement;
  }
  return point;
}

}  // namespace

std::u16string ClipboardUnits(const std::string& utf8) {
  std::u16string units;
  units.reserve(utf8.size() + utf8.size() / 32);
  std::size_t at = 0;
  while (at < utf8.size()) {
    const char32_t point = Decode(utf8, at);
    if (point == U'\n') units += u'\r';
    if (point >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(point);
    }
  }
  return units;
}

}  // namespace help
