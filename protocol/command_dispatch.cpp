#include "protocol/command_dispatch.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace protocol {
namespace {

using namespace wire;

// The datagram with one zero byte after its last byte, so that reading the byte
// at offset `length` yields 0 and the text of group 2 is always terminated.
std::vector<std::uint8_t> WorkingCopy(TStream& data) {
  std::vector<std::uint8_t> copy(data.Size() + 1, 0);
  data.Read(copy.data(), data.Size());
  return copy;
}

void AnswerProbe(TStream& data, const TReplySender& reply) {
  std::vector<std::uint8_t> copy = WorkingCopy(data);
  if (copy[0] != kHeader1 || copy[1] != kHeader2 || copy[kGroupOffset] != kProbeMarker) return;
  copy[kGroupOffset] = kReplyMarker;
  reply(copy.data(), kProbeLength);
}

void PointerCommand(const std::vector<std::uint8_t>& copy, TCommandHandlers& handlers) {
  switch (copy[kSelectorOffset]) {
    case kPointerMove:
      handlers.MovePointer(static_cast<std::int8_t>(copy[kDataOffset]),
                           static_cast<std::int8_t>(copy[kDataOffset + 1]));
      break;
    case kPointerLeftClick: handlers.LeftClick(); break;
    case kPointerRightClick: handlers.RightClick(); break;
    case kPointerWheel: handlers.TurnWheel(copy[kWheelDirectionOffset] == kWheelTowardUser); break;
    default: break;  // selectors 0 and 5..255 mean nothing
  }
}

void UtilityCommand(const std::vector<std::uint8_t>& copy, TCommandHandlers& handlers) {
  const std::uint8_t selector = copy[kSelectorOffset];
  if (selector < kFirstUtility || selector > kLastUtility) return;
  if (copy[kDataOffset] == kUtilityLaunch) handlers.LaunchUtility(selector);
  if (copy[kDataOffset] == kUtilityClose) handlers.CloseUtility(selector);
}

void Dispatch(const std::vector<std::uint8_t>& copy, TCommandHandlers& handlers) {
  switch (copy[kGroupOffset]) {
    case kGroupMediaPage: {
      const std::uint8_t page = copy[kSelectorOffset];
      if (page >= kFirstPage && page <= kLastPage) handlers.MediaPageButton(page, copy[kDataOffset]);
      break;
    }
    case kGroupText: {
      const char* text = reinterpret_cast<const char*>(copy.data() + kDataOffset);
      handlers.TypeText(std::string_view(text, std::strlen(text)));
      break;
    }
    case kGroupPointer: PointerCommand(copy, handlers); break;
    case kGroupUtility: UtilityCommand(copy, handlers); break;
    default: break;  // groups 0 and 5..255 mean nothing
  }
}

}  // namespace

void HandleDatagram(TStream& data, const TReplySender& reply, TCommandHandlers& handlers) {
  const std::size_t length = data.Size();
  if (length == kProbeLength) {
    AnswerProbe(data, reply);
    return;
  }
  if (length < kShortestCommand) return;
  const std::vector<std::uint8_t> copy = WorkingCopy(data);
  if (copy[0] != kHeader1 || copy[1] != kHeader2) return;
  Dispatch(copy, handlers);
}

}  // namespace protocol
