#include "service/datagram_command.h"

#include <algorithm>

#include "protocol/wire_format.h"

namespace service {
namespace {

using namespace protocol::wire;

Ask MediaPage(std::uint8_t page, const std::uint8_t* data, std::size_t size) {
  if (page < kFirstPage || page > kLastPage) return Nothing{};
  return PageButton{page, size > 0 ? data[0] : std::uint8_t{0}};
}

Ask Pointer(std::uint8_t selector, const std::uint8_t* data, std::size_t size) {
  const auto byte = [data, size](std::size_t index) {
    return index < size ? data[index] : std::uint8_t{0};
  };
  switch (selector) {
    case kPointerMove:
      return PointerMove{static_cast<std::int8_t>(byte(0)), static_cast<std::int8_t>(byte(1))};
    case kPointerLeftClick: return ButtonClick{false};
    case kPointerRightClick: return ButtonClick{true};
    case kPointerWheel:
      // One notch; toward the user is down the page.
      return WheelTurn{byte(kWheelDirectionOffset - kDataOffset) == kWheelTowardUser ? -1 : 1};
    default: return Nothing{};
  }
}

Ask Utility(std::uint8_t selector, std::uint8_t action) {
  if (selector < kFirstUtility || selector > kLastUtility) return Nothing{};
  if (action == kUtilityLaunch) return UtilityAction{selector, true};
  if (action == kUtilityClose) return UtilityAction{selector, false};
  return Nothing{};
}

}  // namespace

Ask DecodeDatagram(const std::uint8_t* data, std::size_t size) {
  if (size < kShortestCommand || data[0] != kHeader1 || data[1] != kHeader2) return Nothing{};
  const std::uint8_t selector = data[kSelectorOffset];
  const std::uint8_t* rest = data + kDataOffset;
  const std::size_t rest_size = size - kDataOffset;
  switch (data[kGroupOffset]) {
    case kGroupMediaPage: return MediaPage(selector, rest, rest_size);
    case kGroupText: {
      const std::uint8_t* end = std::find(rest, rest + rest_size, 0);
      return TextToType{std::string(rest, end), false};
    }
    case kGroupPointer: return Pointer(selector, rest, rest_size);
    case kGroupUtility: return Utility(selector, rest[0]);
    default: return Nothing{};
  }
}

}  // namespace service
