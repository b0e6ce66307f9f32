#include "browser/browser_commands.h"

#include <string>

#include "browser/page_keys.h"
#include "protocol/wire_format.h"
#include "service/utf8.h"

namespace browser {
namespace {

using service::Ask;

int Signed16(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

std::optional<Ask> Text(const platform::Bytes& payload) {
  std::string text(payload.begin() + 1, payload.end());
  if (text.empty() || text.size() > kLongestBrowserText || text.find('\0') != std::string::npos ||
      !service::IsValidUtf8(text)) {
    return std::nullopt;
  }
  return service::TextToType{std::move(text), true};
}

std::optional<Ask> Key(std::uint8_t index) {
  if (index >= PageKeys().size()) return std::nullopt;
  const PageKey& key = PageKeys()[index];
  return service::KeyPress{key.first, key.second};
}

std::optional<Ask> Page(std::uint8_t page, std::uint8_t code) {
  using namespace protocol::wire;
  if (page < kFirstPage || page > kLastPage) return std::nullopt;
  return service::PageButton{page, code};
}

std::optional<Ask> Utility(std::uint8_t selector, std::uint8_t on) {
  using namespace protocol::wire;
  if (selector < kFirstUtility || selector > kLastUtility || on > 1) return std::nullopt;
  return service::UtilityAction{selector, on == 1};
}

// Commands of two bytes whose second is a flag.
std::optional<Ask> Flagged(std::uint8_t kind, std::uint8_t flag) {
  if (flag > 1) return std::nullopt;
  if (kind == 'C') return service::ButtonClick{flag == 1};
  return service::LaserSwitch{flag == 1};
}

}  // namespace

std::optional<Ask> DecodeBrowserCommand(const platform::Bytes& payload) {
  if (payload.empty()) return std::nullopt;
  const std::size_t size = payload.size();
  switch (payload[0]) {
    case 'M':
      if (size != 5) return std::nullopt;
      return service::PointerMove{Signed16(payload[1], payload[2]),
                                  Signed16(payload[3], payload[4])};
    case 'C':
    case 'L':
      if (size != 2) return std::nullopt;
      return Flagged(payload[0], payload[1]);
    case 'B':
      if (size != 3 || payload[1] > 1 || payload[2] > 1) return std::nullopt;
      return service::ButtonPress{payload[1] == 1, payload[2] == 1};
    case 'W':
      if (size != 2 || payload[1] == 0) return std::nullopt;
      return service::WheelTurn{static_cast<std::int8_t>(payload[1])};
    case 'K':
      if (size != 2) return std::nullopt;
      return Key(payload[1]);
    case 'T': return Text(payload);
    case 'P':
      if (size != 3) return std::nullopt;
      return Page(payload[1], payload[2]);
    case 'U':
      if (size != 3) return std::nullopt;
      return Utility(payload[1], payload[2]);
    default: return std::nullopt;
  }
}

}  // namespace browser
