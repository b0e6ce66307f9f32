#include "activity/name_text.h"

#include <cstdint>
#include <vector>

namespace activity {
namespace {

// One character of UTF-8 at `at`, or none for a byte that starts no valid one
// (it is skipped alone).
bool NextCharacter(const std::string& text, std::size_t& at, char32_t& character,
                   std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(at);
  length = first < 0x80           ? 1
           : (first >> 5) == 0x6  ? 2
           : (first >> 4) == 0xE  ? 3
           : (first >> 3) == 0x1E ? 4
                                  : 0;
  if (length == 0 || at + length > text.size()) {
    ++at;
    return false;
  }
  character = length == 1 ? first : first & (0xFF >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return false;
    }
    character = (character << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool valid = character >= kSmallest[length] && character <= 0x10FFFF &&
                     (character < 0xD800 || character > 0xDFFF);
  at += valid ? length : 1;
  return valid;
}

bool Shown(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return false;        // controls, the tab among them
  if (c == 0x061C || c == 0x200E || c == 0x200F) return false;  // direction marks
  if (c >= 0x202A && c <= 0x202E) return false;                 // embeddings and overrides
  if (c >= 0x2066 && c <= 0x2069) return false;                 // isolates
  if (c == 0xFEFF) return false;
  return true;
}

}  // namespace

std::string CleanName(const std::string& utf8) {
  std::vector<std::string> characters;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    char32_t character = 0;
    std::size_t length = 0;
    if (NextCharacter(utf8, at, character, length) && Shown(character)) {
      characters.push_back(utf8.substr(start, length));
    }
  }
  std::string shown;
  const bool cut = characters.size() > kNameShown;
  const std::size_t kept = cut ? kNameShown - 1 : characters.size();
  for (std::size_t i = 0; i < kept; ++i) shown += characters[i];
  if (cut) shown += "\xE2\x80\xA6";
  return shown;
}

}  // namespace activity
