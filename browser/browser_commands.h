#pragma once
// What a paired browser's page can ask for, one command per sealed message.
// The first byte says which:
//
//   'M' dx dy         move the pointer (each a signed 16-bit count, big-endian)
//   'C' button        click (0 left, 1 right)
//   'B' button down   press (down 1) or release (down 0) a button: a drag
//   'W' notches       turn the wheel (signed byte, positive away from the user)
//   'K' key           one of the page's keys, by its place in kPageKeys
//   'T' text...       type the UTF-8 text that follows
//   'L' on            the laser pointer on (1) or off (0)
//
// Anything else, or a command of the wrong length, means nothing.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/crypto.h"

namespace browser {

enum class PageKey : std::uint8_t {
  Esc,
  Tab,
  Enter,
  Backspace,
  Left,
  Up,
  Right,
  Down,
  Windows,
  AltTab,
  PlayPause,
  Previous,
  Next,
  VolumeDown,
  VolumeUp,
  Mute,
};
inline constexpr std::size_t kPageKeyCount = 16;

// The longest text one command types, in bytes of UTF-8.
inline constexpr std::size_t kLongestBrowserText = 4000;

struct BrowserCommand {
  enum class Kind { Move, Click, Press, Wheel, Key, Text, Laser };
  Kind kind = Kind::Move;
  int dx = 0, dy = 0;  // Move
  bool right = false;  // Click, Press
  bool down = false;   // Press
  int notches = 0;     // Wheel
  PageKey key = PageKey::Esc;
  std::string text;  // Text: valid UTF-8 without zero bytes
  bool on = false;   // Laser
};

std::optional<BrowserCommand> DecodeBrowserCommand(const platform::Bytes& payload);
// Whether `text` is UTF-8 that Windows can turn into UTF-16 as it stands.
bool IsValidUtf8(const std::string& text);
// Valid UTF-8 as UTF-16, and how many characters it holds.
std::u16string Utf16Of(const std::string& utf8, std::size_t& characters);

}  // namespace browser
