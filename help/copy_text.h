#pragma once
// The view as text on the clipboard: UTF-16 units with CRLF line ends, which
// every Windows program pastes alike.
#include <string>

namespace help {

// Malformed UTF-8 becomes U+FFFD, one per bad byte, so nothing is lost silently.
std::u16string ClipboardUnits(const std::string& utf8);

}  // namespace help
