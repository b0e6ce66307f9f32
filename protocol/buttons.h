#pragma once
// The remote's buttons: the code each one sends in a media page command
// (group 1), and the names the remote-control client knows them by. The key
// maps, the client and the fuzz corpus all read them from here.
#include <array>
#include <cstdint>

namespace protocol::button {

inline constexpr std::uint8_t kLaunch = 0x02;
inline constexpr std::uint8_t kEnter = 0x10;
inline constexpr std::uint8_t kUp = 0x11;
inline constexpr std::uint8_t kDown = 0x12;
inline constexpr std::uint8_t kLeft = 0x13;
inline constexpr std::uint8_t kRight = 0x14;
inline constexpr std::uint8_t kBackspace = 0x15;
inline constexpr std::uint8_t kBack = 0x16;
inline constexpr std::uint8_t kTab = 0x17;
inline constexpr std::uint8_t kDelete = 0x18;
inline constexpr std::uint8_t kPlay = 0x20;
inline constexpr std::uint8_t kStop = 0x21;
inline constexpr std::uint8_t kPause = 0x22;
inline constexpr std::uint8_t kRewind = 0x23;
inline constexpr std::uint8_t kForward = 0x24;
inline constexpr std::uint8_t kPrevious = 0x25;
inline constexpr std::uint8_t kNext = 0x26;
inline constexpr std::uint8_t kFullScreen = 0x27;
inline constexpr std::uint8_t kMute = 0x30;
inline constexpr std::uint8_t kVolumeUp = 0x31;
inline constexpr std::uint8_t kVolumeDown = 0x32;
inline constexpr std::uint8_t kPageDown = 0x41;
inline constexpr std::uint8_t kPageUp = 0x42;
inline constexpr std::uint8_t kDigit0 = 0x50;  // 0x50..0x59: the digits 0..9
inline constexpr std::uint8_t kStar = 0x60;
inline constexpr std::uint8_t kHash = 0x61;
inline constexpr std::uint8_t kClear = 0x70;
inline constexpr std::uint8_t kOk = 0x71;
inline constexpr std::uint8_t kEsc = 0xF0;  // 0xF1..0xFC: the function keys F1..F12
inline constexpr std::uint8_t kLaserOn = 0xFD;
inline constexpr std::uint8_t kLaserOff = 0xFE;
inline constexpr std::uint8_t kClose = 0xFF;

constexpr std::uint8_t Digit(int digit) { return static_cast<std::uint8_t>(kDigit0 + digit); }
constexpr std::uint8_t FunctionKey(int number) { return static_cast<std::uint8_t>(kEsc + number); }

struct NamedButton {
  const char* name;
  std::uint8_t code;
};

// The buttons with a name of their own, after what they do on most pages;
// the digits and function keys are named by Digit and FunctionKey.
inline constexpr std::array<NamedButton, 31> kNamed = {{
    {"launch", kLaunch},
    {"enter", kEnter},
    {"up", kUp},
    {"down", kDown},
    {"left", kLeft},
    {"right", kRight},
    {"backspace", kBackspace},
    {"back", kBack},
    {"tab", kTab},
    {"delete", kDelete},
    {"play", kPlay},
    {"stop", kStop},
    {"pause", kPause},
    {"rewind", kRewind},
    {"forward", kForward},
    {"previous", kPrevious},
    {"next", kNext},
    {"fullscreen", kFullScreen},
    {"mute", kMute},
    {"volume-up", kVolumeUp},
    {"volume-down", kVolumeDown},
    {"page-down", kPageDown},
    {"page-up", kPageUp},
    {"star", kStar},
    {"hash", kHash},
    {"clear", kClear},
    {"ok", kOk},
    {"esc", kEsc},
    {"laser-on", kLaserOn},
    {"laser-off", kLaserOff},
    {"close", kClose},
}};

}  // namespace protocol::button
