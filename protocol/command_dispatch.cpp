#include "protocol/command_dispatch.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace protocol {
namespace {

// The datagram with one zero byte after its last byte, so that reading the byte
// at offset `length` yields 0 and the text of group 2 is always terminated.
std::vector<std::uint8_t> WorkingCopy(TStream& data) {
  std::vector<std::uint8_t> copy(data.Size() + 1, 0);
  data.Read(copy.data(), data.Size());
  return copy;
}

void AnswerProbe(TStream& data, const TReplySender& reply) {
  std::vector<std::uint8_t> copy = WorkingCopy(data);
  if (copy[0] != kHeader1 || copy[1] != kHeader2 || copy[2] != kProbeMarker) return;
  copy[2] = kReplyMarker;
  reply(copy.data(), kProbeLength);
}

void PointerCommand(const std::vector<std::uint8_t>& copy, TCommandHandlers& handlers) {
  switch (copy[3]) {
    case 1: handlers.MovePointer(static_cast<std::int8_t>(copy[4]),
                                 static_cast<std::int8_t>(copy[5])); break;
    case 2: handlers.LeftClick(); break;
    case 3: handlers.RightClick(); break;
    case 4: handlers.TurnWheel(copy[5] == 1); break;
    default: break;  // selectors 0 and 5..255 mean nothing
  }
}

void UtilityCommand(const std::vector<std::uint8_t>& copy, TCommandHandlers& handlers) {
  const std::uint8_t selector = copy[3];
  if (selector < 1 || selector > 4) return;
  if (copy[4] == kUtilityLaunch) handlers.LaunchUtility(selector);
  if (copy[4] == kUtilityClose) handlers.CloseUtility(selector);
}

void Dispatch(const std::vector<std::uint8_t>& copy, TCommandHandlers& handlers) {
  switch (copy[2]) {
    case kGroupMediaPage:
      if (copy[3] >= 1 && copy[3] <= 8) handlers.MediaPageButton(copy[3], copy[4]);
      break;
    case kGroupText: {
      const char* text = reinterpret_cast<const char*>(copy.data() + 4);
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
