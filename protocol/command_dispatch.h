#pragma once
// The command datagram: the discovery probe and its reply, the frame check and
// the dispatch of each command to its group handler.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "protocol/command_handlers.h"
#include "protocol/udp_server.h"
#include "protocol/wire_format.h"

namespace protocol {

// Sends the probe reply back to the probe's sender.
using TReplySender = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Handles one received datagram. Errors raised by the reply or a group handler
// are not caught here: they end the handling of this datagram.
void HandleDatagram(TStream& data, const TReplySender& reply, TCommandHandlers& handlers);

}  // namespace protocol
