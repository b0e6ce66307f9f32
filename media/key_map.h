#pragma once
// The media application pages: what each remote button does on each page.
#include <cstdint>

namespace media {

enum class ActionKind : std::uint8_t {
  Nothing,
  Key,        // SendKey(k1)
  Chord2,     // SendChord2(k1, k2)
  Chord3,     // SendChord3(k1, k2, k3)
  PlayerKey,  // page 8: SendKey(k1) when the player is version 9 or 10, else SendKey(k2)
  Launch,
  Close,
  LaserOn,
  LaserOff,
};

// Whether the action presses keys (starting, closing and the laser do not).
constexpr bool SendsKeys(ActionKind kind) {
  return kind == ActionKind::Key || kind == ActionKind::Chord2 || kind == ActionKind::Chord3 ||
         kind == ActionKind::PlayerKey;
}

struct Action {
  ActionKind kind = ActionKind::Nothing;
  std::uint16_t k1 = 0;
  std::uint16_t k2 = 0;
  std::uint16_t k3 = 0;
  bool operator==(const Action&) const = default;
};

inline constexpr int kPages = 8;

// The action of `code` on `page` (1..8); Nothing for any other page or code.
Action LookUpButton(std::uint8_t page, std::uint8_t code);

}  // namespace media
