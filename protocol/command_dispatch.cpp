#include "protocol/command_dispatch.h"

#include <vector>

#include "protocol/wire_format.h"

namespace protocol {

using namespace wire;

void TCommandDispatcher::Register(std::uint8_t group, TGroupHandler handler,
                                  TSendsInput sends_input) {
  groups_[group] = std::move(handler);
  sends_input_[group] = std::move(sends_input);
}

bool TCommandDispatcher::SendsInput(const std::uint8_t* data, std::size_t size) const {
  if (size < kShortestCommand || data[0] != kHeader1 || data[1] != kHeader2) return false;
  const TSendsInput& sends = sends_input_[data[kGroupOffset]];
  if (!sends || !groups_[data[kGroupOffset]]) return false;
  return sends(TCommand{data[kSelectorOffset], data + kDataOffset, size - kDataOffset});
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
