#include "protocol/command_dispatch.h"

#include <vector>

#include "protocol/wire_format.h"

namespace protocol {

using namespace wire;

void TCommandDispatcher::Register(std::uint8_t group, TGroupHandler handler) {
  groups_[group] = std::move(handler);
}

// The probe never gets here: the listener answers it itself.
void TCommandDispatcher::HandleDatagram(TStream& data) const {
  const std::size_t length = data.Size();
  if (length < kShortestCommand) return;
  // A copy with one zero byte after the last, so that text is terminated.
  std::vector<std::uint8_t> copy(length + 1, 0);
  data.Read(copy.data(), length);
  if (copy[0] != kHeader1 || copy[1] != kHeader2) return;
  const TGroupHandler& handler = groups_[copy[kGroupOffset]];
  if (!handler) return;
  handler(TCommand{copy[kSelectorOffset], copy.data() + kDataOffset, length - kDataOffset});
}

}  // namespace protocol
