#pragma once
// The command datagram: the discovery probe and its reply, the frame check and
// the dispatch of each command to its group handler.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "protocol/command_handlers.h"
#include "protocol/udp_server.h"

namespace protocol {

inline constexpr std::uint8_t kHeader1 = 0x15;
inline constexpr std::uint8_t kHeader2 = 0x65;
inline constexpr std::uint8_t kProbeMarker = 0x80;
inline constexpr std::uint8_t kReplyMarker = 0x81;
inline constexpr std::size_t kProbeLength = 3;
inline constexpr std::size_t kShortestCommand = 5;

inline constexpr std::uint8_t kGroupMediaPage = 1;
inline constexpr std::uint8_t kGroupText = 2;
inline constexpr std::uint8_t kGroupPointer = 3;
inline constexpr std::uint8_t kGroupUtility = 4;

inline constexpr std::uint8_t kUtilityLaunch = 0x02;
inline constexpr std::uint8_t kUtilityClose = 0xFF;

// Sends the probe reply back to the probe's sender.
using TReplySender = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Handles one received datagram. Errors raised by the reply or a group handler
// are not caught here: they end the handling of this datagram.
void HandleDatagram(TStream& data, const TReplySender& reply, TCommandHandlers& handlers);

}  // namespace protocol
