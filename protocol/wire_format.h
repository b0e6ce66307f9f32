#pragma once
// The command datagram's layout on the wire, shared by the host and the
// remote-control client.
//
//   offset 0, 1   header 0x15 0x65
//   offset 2      group (or the probe marker in a 3-byte probe)
//   offset 3      selector: page, pointer command or utility
//   offset 4...   data
#include <array>
#include <cstddef>
#include <cstdint>

namespace protocol::wire {

inline constexpr std::uint8_t kHeader1 = 0x15;
inline constexpr std::uint8_t kHeader2 = 0x65;
inline constexpr std::uint8_t kProbeMarker = 0x80;
inline constexpr std::uint8_t kReplyMarker = 0x81;
inline constexpr std::size_t kProbeLength = 3;
// What a probe is answered with.
inline constexpr std::array<std::uint8_t, kProbeLength> kProbeReply = {kHeader1, kHeader2,
                                                                       kReplyMarker};
inline constexpr std::size_t kShortestCommand = 5;

inline constexpr std::size_t kGroupOffset = 2;
inline constexpr std::size_t kSelectorOffset = 3;
inline constexpr std::size_t kDataOffset = 4;

inline constexpr std::uint8_t kGroupMediaPage = 1;
inline constexpr std::uint8_t kGroupText = 2;
inline constexpr std::uint8_t kGroupPointer = 3;
inline constexpr std::uint8_t kGroupUtility = 4;

inline constexpr std::uint8_t kFirstPage = 1;
inline constexpr std::uint8_t kLastPage = 8;

// Group 3's selectors; a move carries dx, dy as signed bytes at the data
// offset, a wheel turn its direction one byte later.
inline constexpr std::uint8_t kPointerMove = 1;
inline constexpr std::uint8_t kPointerLeftClick = 2;
inline constexpr std::uint8_t kPointerRightClick = 3;
inline constexpr std::uint8_t kPointerWheel = 4;
inline constexpr std::size_t kWheelDirectionOffset = kDataOffset + 1;
inline constexpr std::uint8_t kWheelTowardUser = 1;
inline constexpr std::uint8_t kWheelAwayFromUser = 2;

// Group 4: the utility number is the selector, the action its data byte.
inline constexpr std::uint8_t kFirstUtility = 1;
inline constexpr std::uint8_t kLastUtility = 4;
inline constexpr std::uint8_t kUtilityLaunch = 0x02;
inline constexpr std::uint8_t kUtilityClose = 0xFF;

// Group 2's text runs from the data offset to its first zero byte or the end.
inline constexpr std::size_t kLargestDatagram = 8192;
inline constexpr std::size_t kLongestText = kLargestDatagram - kDataOffset;

}  // namespace protocol::wire
