#include "media/key_map.h"

#include <array>

#include "platform/virtual_keys.h"
#include "protocol/buttons.h"

namespace media {
namespace {

using namespace platform::vk;
using namespace protocol::button;

constexpr Action K(std::uint16_t key) { return {ActionKind::Key, key}; }
constexpr Action C(std::uint16_t a, std::uint16_t b) { return {ActionKind::Chord2, a, b}; }
constexpr Action C(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
  return {ActionKind::Chord3, a, b, c};
}
// Page 8's keys that move one function key up for players of version 9 and 10.
constexpr Action Wmp(std::uint16_t if_9_or_10, std::uint16_t otherwise) {
  return {ActionKind::PlayerKey, if_9_or_10, otherwise};
}
constexpr Action NONE = {ActionKind::Nothing};
constexpr Action LAUNCH = {ActionKind::Launch};
constexpr Action CLOSE = {ActionKind::Close};
constexpr Action LASER_ON = {ActionKind::LaserOn};
constexpr Action LASER_OFF = {ActionKind::LaserOff};

// A row that is the same key on every page.
constexpr std::array<Action, kPages> All(Action action) {
  return {action, action, action, action, action, action, action, action};
}

struct Row {
  std::uint8_t code;
  std::array<Action, kPages> pages;  // pages 1..8
};

// clang-format off
constexpr Row kKeyMap[] = {
  //                page 1                2           3               4                5                6             7                 8
  {kLaunch,         {C(Win, Alt, Enter),   LAUNCH,     LAUNCH,         LAUNCH,          LAUNCH,          LAUNCH,       LAUNCH,           LAUNCH}},
  {kEnter,          All(K(Enter))},
  {kUp,             All(K(Up))},
  {kDown,           All(K(Down))},
  {kLeft,           All(K(Left))},
  {kRight,          All(K(Right))},
  {kBackspace,      All(K(Backspace))},
  {kBack,           {C(Ctrl, D),           K(Esc),     K(Esc),         K(Esc),          K(Esc),          K(Esc),       K(Esc),           K(Esc)}},
  {kTab,            All(K(Tab))},
  {kDelete,         All(K(Del))},
  {kPlay,           {C(Ctrl, Shift, P),    K(Enter),   K(Space),       K(Space),        K(Space),        K(Space),     K(F5),            C(Ctrl, P)}},
  {kStop,           {C(Ctrl, Shift, S),    K(S),       K(Period),      C(Ctrl, S),      C(Ctrl, S),      C(Ctrl, Z),   K(F6),            C(Ctrl, S)}},
  {kPause,          {C(Ctrl, P),           K(Space),   K(Space),       K(Space),        K(Space),        K(Space),     K(F5),            C(Ctrl, P)}},
  {kRewind,         {C(Ctrl, Shift, B),    K(B),       C(Ctrl, Left),  C(Ctrl, Left),   C(Ctrl, PgUp),   K(Left),      K(F7),            C(Ctrl, Shift, B)}},
  {kForward,        {C(Ctrl, Shift, F),    K(F),       C(Ctrl, Right), C(Ctrl, Right),  C(Ctrl, PgDn),   K(Right),     K(F8),            C(Ctrl, Shift, F)}},
  {kPrevious,       {K(PgUp),              K(P),       K(PgDn),        K(PgUp),         NONE,             K(PgUp),      C(Ctrl, Left),    C(Ctrl, B)}},
  {kNext,           {K(PgDn),              K(N),       K(PgUp),        K(PgDn),         NONE,             K(PgDn),      C(Ctrl, Right),   C(Ctrl, F)}},
  {kFullScreen,     {C(Alt, Enter),        K(F5),      C(Alt, Enter),  C(Ctrl, Enter),  C(Alt, Enter),   K(Enter),     NONE,              C(Alt, Enter)}},
  {kMute,           {K(F8),                K(Q),       C(Ctrl, M),     C(Ctrl, M),      K(NumMul),       K(M),         C(Ctrl, S),       Wmp(F8, F7)}},
  {kVolumeUp,       {K(F10),               K(NumAdd),  K(Up),          K(Up),           K(NumAdd),       K(Up),        C(Ctrl, Up),      Wmp(F10, F9)}},
  {kVolumeDown,     {K(F9),                K(NumSub),  K(Down),        K(Down),         K(NumSub),       K(Down),      C(Ctrl, Down),    Wmp(F9, F8)}},
  {kPageDown,       All(K(PgDn))},
  {kPageUp,         All(K(PgUp))},
  {Digit(0),        All(K(D0))},
  {Digit(1),        All(K(D1))},
  {Digit(2),        All(K(D2))},
  {Digit(3),        All(K(D3))},
  {Digit(4),        All(K(D4))},
  {Digit(5),        All(K(D5))},
  {Digit(6),        All(K(D6))},
  {Digit(7),        All(K(D7))},
  {Digit(8),        All(K(D8))},
  {Digit(9),        All(K(D9))},
  {kStar,           All(C(Shift, D8))},
  {kHash,           All(C(Shift, D3))},
  {kClear,          All(K(Clear))},
  {kOk,             All(K(Enter))},
  {kEsc,            All(K(Esc))},
  {FunctionKey(1),  All(K(F1))},
  {FunctionKey(2),  All(K(F2))},
  {FunctionKey(3),  All(K(F3))},
  {FunctionKey(4),  All(K(F4))},
  {FunctionKey(5),  All(K(F5))},
  {FunctionKey(6),  All(K(F6))},
  {FunctionKey(7),  All(K(F7))},
  {FunctionKey(8),  All(K(F8))},
  {FunctionKey(9),  All(K(F9))},
  {FunctionKey(10), All(K(F10))},
  {FunctionKey(11), All(K(F11))},
  {FunctionKey(12), All(K(F12))},
  {kLaserOn,        {LASER_ON,             LASER_ON,   LASER_ON,       LASER_ON,        LASER_ON,        LASER_ON,     NONE,              LASER_ON}},
  {kLaserOff,       {LASER_OFF,            LASER_OFF,  LASER_OFF,      LASER_OFF,       LASER_OFF,       LASER_OFF,    NONE,              LASER_OFF}},
  {kClose,          All(CLOSE)},
};
// clang-format on

}  // namespace

Action LookUpButton(std::uint8_t page, std::uint8_t code) {
  if (page < 1 || page > kPages) return NONE;
  for (const Row& row : kKeyMap) {
    if (row.code == code) return row.pages[page - 1];
  }
  return NONE;
}

}  // namespace media
