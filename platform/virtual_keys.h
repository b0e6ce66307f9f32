#pragma once
// Windows virtual-key codes (a published standard), by the names the key
// maps and the page's keys use.
#include <cstdint>

namespace platform::vk {

inline constexpr std::uint16_t Backspace = 0x08;
inline constexpr std::uint16_t Tab = 0x09;
inline constexpr std::uint16_t Clear = 0x0C;
inline constexpr std::uint16_t Enter = 0x0D;
inline constexpr std::uint16_t Shift = 0x10;
inline constexpr std::uint16_t Ctrl = 0x11;
inline constexpr std::uint16_t Alt = 0x12;
inline constexpr std::uint16_t Esc = 0x1B;
inline constexpr std::uint16_t Space = 0x20;
inline constexpr std::uint16_t PgUp = 0x21;
inline constexpr std::uint16_t PgDn = 0x22;
inline constexpr std::uint16_t End = 0x23;
inline constexpr std::uint16_t Home = 0x24;
inline constexpr std::uint16_t Left = 0x25;
inline constexpr std::uint16_t Up = 0x26;
inline constexpr std::uint16_t Right = 0x27;
inline constexpr std::uint16_t Down = 0x28;
inline constexpr std::uint16_t Insert = 0x2D;
inline constexpr std::uint16_t Del = 0x2E;
inline constexpr std::uint16_t D0 = 0x30;  // main-row digits D0..D9
inline constexpr std::uint16_t D1 = 0x31;
inline constexpr std::uint16_t D2 = 0x32;
inline constexpr std::uint16_t D3 = 0x33;
inline constexpr std::uint16_t D4 = 0x34;
inline constexpr std::uint16_t D5 = 0x35;
inline constexpr std::uint16_t D6 = 0x36;
inline constexpr std::uint16_t D7 = 0x37;
inline constexpr std::uint16_t D8 = 0x38;
inline constexpr std::uint16_t D9 = 0x39;
inline constexpr std::uint16_t B = 0x42;
inline constexpr std::uint16_t D = 0x44;
inline constexpr std::uint16_t F = 0x46;
inline constexpr std::uint16_t M = 0x4D;
inline constexpr std::uint16_t N = 0x4E;
inline constexpr std::uint16_t P = 0x50;
inline constexpr std::uint16_t Q = 0x51;
inline constexpr std::uint16_t S = 0x53;
inline constexpr std::uint16_t V = 0x56;
inline constexpr std::uint16_t Z = 0x5A;
inline constexpr std::uint16_t Win = 0x5B;
inline constexpr std::uint16_t RWin = 0x5C;
inline constexpr std::uint16_t NumMul = 0x6A;
inline constexpr std::uint16_t NumAdd = 0x6B;
inline constexpr std::uint16_t NumSub = 0x6D;
inline constexpr std::uint16_t F1 = 0x70;
inline constexpr std::uint16_t F2 = 0x71;
inline constexpr std::uint16_t F3 = 0x72;
inline constexpr std::uint16_t F4 = 0x73;
inline constexpr std::uint16_t F5 = 0x74;
inline constexpr std::uint16_t F6 = 0x75;
inline constexpr std::uint16_t F7 = 0x76;
inline constexpr std::uint16_t F8 = 0x77;
inline constexpr std::uint16_t F9 = 0x78;
inline constexpr std::uint16_t F10 = 0x79;
inline constexpr std::uint16_t F11 = 0x7A;
inline constexpr std::uint16_t F12 = 0x7B;
inline constexpr std::uint16_t VolumeMute = 0xAD;
inline constexpr std::uint16_t VolumeDown = 0xAE;
inline constexpr std::uint16_t VolumeUp = 0xAF;
inline constexpr std::uint16_t MediaNext = 0xB0;
inline constexpr std::uint16_t MediaPrevious = 0xB1;
inline constexpr std::uint16_t MediaPlayPause = 0xB3;
inline constexpr std::uint16_t Period = 0xBE;

// Keys that a real keyboard sends with the extended-key flag: without it the
// navigation keys reach many programs as their numeric-keypad twins.
constexpr bool IsExtendedKey(std::uint16_t key) {
  switch (key) {
    // clang-format off
    case PgUp: case PgDn: case End: case Home: case Left: case Up: case Right: case Down:
    case Insert: case Del: case Win: case RWin:
    case VolumeMute: case VolumeDown: case VolumeUp: case MediaNext: case MediaPrevious:
    case MediaPlayPause:
      return true;
    // clang-format on
    default: return false;
  }
}

}  // namespace platform::vk
