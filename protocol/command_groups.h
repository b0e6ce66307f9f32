#pragma once
// The group handlers of the command datagram: each reads its group's selector
// and data and calls the one who carries the command out. A new command is a
// constant in wire_format.h, a case here, the action it calls and the
// client's encoder.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "protocol/command_dispatch.h"
#include "protocol/wire_format.h"

namespace protocol {

// Group 1: a button of a media application page (1..8); `pages` has
// MediaPageButton(page, code).
template <class Pages>
TGroupHandler MediaPageCommands(Pages& pages) {
  return [&pages](const TCommand& command) {
    if (command.selector < wire::kFirstPage || command.selector > wire::kLastPage) return;
    pages.MediaPageButton(command.selector, command.Byte(0));
  };
}

// Group 2: text to type, cut at its first zero byte; the selector means nothing.
template <class Typist>
TGroupHandler TextCommands(Typist& typist) {
  return [&typist](const TCommand& command) {
    const std::uint8_t* end = std::find(command.data, command.data + command.size, 0);
    typist.TypeText(std::string_view(reinterpret_cast<const char*>(command.data),
                                     static_cast<std::size_t>(end - command.data)));
  };
}

// Group 3: the pointer; `pointer` has MovePointer, LeftClick, RightClick and
// TurnWheel. Selectors 0 and 5..255 mean nothing.
template <class Pointer>
TGroupHandler PointerCommands(Pointer& pointer) {
  return [&pointer](const TCommand& command) {
    switch (command.selector) {
      case wire::kPointerMove:
        pointer.MovePointer(static_cast<std::int8_t>(command.Byte(0)),
                            static_cast<std::int8_t>(command.Byte(1)));
        break;
      case wire::kPointerLeftClick: pointer.LeftClick(); break;
      case wire::kPointerRightClick: pointer.RightClick(); break;
      case wire::kPointerWheel:
        pointer.TurnWheel(command.Byte(wire::kWheelDirectionOffset - wire::kDataOffset) ==
                          wire::kWheelTowardUser);
        break;
      default: break;
    }
  };
}

// Group 4: the maker's utilities 1..4; `utilities` has LaunchUtility and
// CloseUtility. Other actions mean nothing.
template <class Utilities>
TGroupHandler UtilityCommands(Utilities& utilities) {
  return [&utilities](const TCommand& command) {
    if (command.selector < wire::kFirstUtility || command.selector > wire::kLastUtility) return;
    if (command.Byte(0) == wire::kUtilityLaunch) utilities.LaunchUtility(command.selector);
    if (command.Byte(0) == wire::kUtilityClose) utilities.CloseUtility(command.selector);
  };
}

}  // namespace protocol
