#include "media/key_map.h"

#include <array>

#include "input/virtual_keys.h"

namespace media {
namespace {

using namespace input::vk;

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
  //        page 1                2           3               4                5                6             7                 8
  {0x02, {C(Win, Alt, Enter),   LAUNCH,     LAUNCH,         LAUNCH,          LAUNCH,          LAUNCH,       LAUNCH,           LAUNCH}},
  {0x10, All(K(Enter))},
  {0x11, All(K(Up))},
  {0x12, All(K(Down))},
  {0x13, All(K(Left))},
  {0x14, All(K(Right))},
  {0x15, All(K(Backspace))},
  {0x16, {C(Ctrl, D),           K(Esc),     K(Esc),         K(Esc),          K(Esc),          K(Esc),       K(Esc),           K(Esc)}},
  {0x17, All(K(Tab))},
  {0x18, All(K(Del))},
  {0x20, {C(Ctrl, Shift, P),    K(Enter),   K(Space),       K(Space),        K(Space),        K(Space),     K(F5),            C(Ctrl, P)}},
  {0x21, {C(Ctrl, Shift, S),    K(S),       K(Period),      C(Ctrl, S),      C(Ctrl, S),      C(Ctrl, Z),   K(F6),            C(Ctrl, S)}},
  {0x22, {C(Ctrl, P),           K(Space),   K(Space),       K(Space),        K(Space),        K(Space),     K(F5),            C(Ctrl, P)}},
  {0x23, {C(Ctrl, Shift, B),    K(B),       C(Ctrl, Left),  C(Ctrl, Left),   C(Ctrl, PgUp),   K(Left),      K(F7),            C(Ctrl, Shift, B)}},
  {0x24, {C(Ctrl, Shift, F),    K(F),       C(Ctrl, Right), C(Ctrl, Right),  C(Ctrl, PgDn),   K(Right),     K(F8),            C(Ctrl, Shift, F)}},
  {0x25, {K(PgUp),              K(P),       K(PgDn),        K(PgUp),         NONE,             K(PgUp),      C(Ctrl, Left),    C(Ctrl, B)}},
  {0x26, {K(PgDn),              K(N),       K(PgUp),        K(PgDn),         NONE,             K(PgDn),      C(Ctrl, Right),   C(Ctrl, F)}},
  {0x27, {C(Alt, Enter),        K(F5),      C(Alt, Enter),  C(Ctrl, Enter),  C(Alt, Enter),   K(Enter),     NONE,              C(Alt, Enter)}},
  {0x30, {K(F8),                K(Q),       C(Ctrl, M),     C(Ctrl, M),      K(NumMul),       K(M),         C(Ctrl, S),       Wmp(F8, F7)}},
  {0x31, {K(F10),               K(NumAdd),  K(Up),          K(Up),           K(NumAdd),       K(Up),        C(Ctrl, Up),      Wmp(F10, F9)}},
  {0x32, {K(F9),                K(NumSub),  K(Down),        K(Down),         K(NumSub),       K(Down),      C(Ctrl, Down),    Wmp(F9, F8)}},
  {0x41, All(K(PgDn))},
  {0x42, All(K(PgUp))},
  {0x50, All(K(D0))},
  {0x51, All(K(D1))},
  {0x52, All(K(D2))},
  {0x53, All(K(D3))},
  {0x54, All(K(D4))},
  {0x55, All(K(D5))},
  {0x56, All(K(D6))},
  {0x57, All(K(D7))},
  {0x58, All(K(D8))},
  {0x59, All(K(D9))},
  {0x60, All(C(Shift, D8))},
  {0x61, All(C(Shift, D3))},
  {0x70, All(K(Clear))},
  {0x71, All(K(Enter))},
  {0xF0, All(K(Esc))},
  {0xF1, All(K(F1))},
  {0xF2, All(K(F2))},
  {0xF3, All(K(F3))},
  {0xF4, All(K(F4))},
  {0xF5, All(K(F5))},
  {0xF6, All(K(F6))},
  {0xF7, All(K(F7))},
  {0xF8, All(K(F8))},
  {0xF9, All(K(F9))},
  {0xFA, All(K(F10))},
  {0xFB, All(K(F11))},
  {0xFC, All(K(F12))},
  {0xFD, {LASER_ON,             LASER_ON,   LASER_ON,       LASER_ON,        LASER_ON,        LASER_ON,     NONE,              LASER_ON}},
  {0xFE, {LASER_OFF,            LASER_OFF,  LASER_OFF,      LASER_OFF,       LASER_OFF,       LASER_OFF,    NONE,              LASER_OFF}},
  {0xFF, All(CLOSE)},
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
