#pragma once
// One command of a remote, in meanings: who sent it and what it asks. The
// app's datagram and a paired browser's message both decode into it, one
// gate lets it through, and the capability that owns what it asks carries
// it out.
#include <cstdint>
#include <string>
#include <variant>

#include "service/host_events.h"

namespace service {

// A command that means nothing: an unknown group, page, selector or action.
// It still passes the gate, as any command from a device does.
struct Nothing {
  bool operator==(const Nothing&) const = default;
};
// One key (`second` 0), or a chord of two: first down, second down and up, first up.
struct KeyPress {
  std::uint16_t first = 0;
  std::uint16_t second = 0;
  bool operator==(const KeyPress&) const = default;
};
// A button of a media application page, carried through that page's key map.
struct PageButton {
  std::uint8_t page = 0;
  std::uint8_t code = 0;
  bool operator==(const PageButton&) const = default;
};
struct PointerMove {
  int dx = 0;
  int dy = 0;
  bool operator==(const PointerMove&) const = default;
};
struct ButtonClick {
  bool right = false;
  bool operator==(const ButtonClick&) const = default;
};
// A button pressed (a drag begins) or released; what a device holds down is
// let go when it leaves.
struct ButtonPress {
  bool right = false;
  bool down = false;
  bool operator==(const ButtonPress&) const = default;
};
// Notches of the wheel, positive away from the user.
struct WheelTurn {
  int notches = 0;
  bool operator==(const WheelTurn&) const = default;
};
// Text to type: the app's in the system's code page, a browser's in valid
// UTF-8 without zero bytes.
struct TextToType {
  std::string text;
  bool utf8 = false;
  bool operator==(const TextToType&) const = default;
};
// One of the maker's utilities (1..4) started or closed.
struct UtilityAction {
  std::uint8_t selector = 0;
  bool launch = true;
  bool operator==(const UtilityAction&) const = default;
};
struct LaserSwitch {
  bool on = false;
  bool operator==(const LaserSwitch&) const = default;
};

using Ask = std::variant<Nothing, KeyPress, PageButton, PointerMove, ButtonClick, ButtonPress,
                         WheelTurn, TextToType, UtilityAction, LaserSwitch>;

struct RemoteCommand {
  Origin from;
  Ask ask;
};

}  // namespace service
