#pragma once
// What a paired browser's page can ask for, one command per sealed message.
// The first byte says which:
//
//   'M' dx dy         move the pointer (each a signed 16-bit count, big-endian)
//   'C' button        click (0 left, 1 right)
//   'B' button down   press (down 1) or release (down 0) a button: a drag
//   'W' notches       turn the wheel (signed byte, positive away from the user)
//   'K' key           one of the page's own keys, by its place in PageKeys()
//   'T' text...       type the UTF-8 text that follows
//   'L' on            the laser pointer on (1) or off (0)
//   'P' page code     a button of a media application page (1..8), as the
//                     app's datagram of group 1 sends it
//   'U' utility on    one of the maker's utilities (1..4) started (1) or closed (0)
//
// Anything else, or a command of the wrong length, means nothing.
#include <cstdint>
#include <optional>

#include "platform/crypto.h"
#include "service/remote_command.h"

namespace browser {

// The longest text one command types, in bytes of UTF-8.
inline constexpr std::size_t kLongestBrowserText = 4000;

// Pure: the same bytes always give the same command.
std::optional<service::Ask> DecodeBrowserCommand(const platform::Bytes& payload);

}  // namespace browser
