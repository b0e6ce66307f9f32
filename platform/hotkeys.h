#pragma once
// Keyboard family: a key combination of the whole desktop that reaches this
// program whichever window has the keyboard.
#include <cstdint>
#include <functional>

namespace platform {

struct HotkeyChord {
  bool control = false;
  bool alt = false;
  bool shift = false;
  std::uint16_t key = 0;  // a virtual-key code: 'P' is 0x50
};

class IHotkeys {
 public:
  virtual ~IHotkeys() = default;
  // Calls `pressed` on the main thread each time the chord is pressed (not
  // again while it is held); false when another program holds the chord.
  virtual bool Register(const HotkeyChord& chord, std::function<void()> pressed) = 0;
  virtual void Unregister() = 0;
};

}  // namespace platform
