#pragma once
// The command datagram's dispatch: the frame check, then the group handler
// that registered for the datagram's group.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "protocol/udp_server.h"

namespace protocol {

// One command as its group handler sees it: the selector and the bytes from
// the data offset to the datagram's end. Any byte at or past the end reads 0,
// so the text of group 2 is always terminated.
struct TCommand {
  std::uint8_t selector = 0;
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::uint8_t Byte(std::size_t index) const { return index < size ? data[index] : 0; }
};

using TGroupHandler = std::function<void(const TCommand& command)>;
// Whether a command of the group would send keys or pointer events.
using TSendsInput = std::function<bool(const TCommand& command)>;

class TCommandDispatcher {
 public:
  // The handler of one group; a group none registered for means nothing.
  // `sends_input` tells which of its commands send input (none when not given).
  void Register(std::uint8_t group, TGroupHandler handler, TSendsInput sends_input = nullptr);
  // Handles one received datagram. An error raised by a group handler is not
  // caught here: it ends the handling of this datagram.
  void HandleDatagram(TStream& data) const;
  // Whether the datagram is a command that would send keys or pointer
  // events; false for anything that would not be carried out at all.
  bool SendsInput(const std::uint8_t* data, std::size_t size) const;

 private:
  std::array<TGroupHandler, 256> groups_;
  std::array<TSendsInput, 256> sends_input_;
};

}  // namespace protocol
