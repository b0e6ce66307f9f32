#pragma once
// Input family: keyboard and mouse synthesis and the pointer position. The
// records mirror the system's INPUT layout field for field.
#include <cstdint>

namespace platform {

inline constexpr std::uint32_t kInputMouse = 0;
inline constexpr std::uint32_t kInputKeyboard = 1;

inline constexpr std::uint32_t kKeyEventExtendedKey = 0x0001;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x0002;

inline constexpr std::uint32_t kMouseLeftDown = 0x0002;
inline constexpr std::uint32_t kMouseLeftUp = 0x0004;
inline constexpr std::uint32_t kMouseRightDown = 0x0008;
inline constexpr std::uint32_t kMouseRightUp = 0x0010;
inline constexpr std::uint32_t kMouseWheel = 0x0800;
inline constexpr std::int32_t kWheelDelta = 120;

struct TKeyboardInput {
  std::uint16_t wVk = 0;
  std::uint16_t wScan = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t time = 0;
  std::uintptr_t dwExtraInfo = 0;
};

struct TMouseInput {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::int32_t mouseData = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t time = 0;
  std::uintptr_t dwExtraInfo = 0;
};

struct TInput {
  std::uint32_t type = kInputKeyboard;
  TKeyboardInput ki;  // used when type is kInputKeyboard
  TMouseInput mi;     // used when type is kInputMouse
};

struct TPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Right and bottom are one past the last pixel.
struct TRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

class IInput {
 public:
  virtual ~IInput() = default;
  // One call into the system's input stream; returns the events it inserted.
  virtual unsigned SendInput(unsigned count, const TInput* inputs) = 0;
  virtual bool GetCursorPos(TPoint& position) = 0;
  virtual bool SetCursorPos(std::int32_t x, std::int32_t y) = 0;
  // The bounding rectangle of every monitor.
  virtual TRect VirtualScreen() = 0;
  // The hardware scan code of a virtual key in the current keyboard layout.
  virtual std::uint16_t ScanCodeOf(std::uint16_t virtual_key) = 0;
};

}  // namespace platform
