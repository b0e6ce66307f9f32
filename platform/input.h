#pragma once
// Input family: keys and pointer events in what they mean, and the pointer
// position. The system's own records are filled only by the real layer.
#include <cstdint>

namespace platform {

// One key going down or up, as the keyboard itself would send it.
struct KeyStroke {
  std::uint16_t virtual_key = 0;
  std::uint16_t scan_code = 0;  // in the current keyboard layout
  bool extended = false;        // the navigation and Windows keys, not their keypad twins
  bool up = false;
  bool operator==(const KeyStroke&) const = default;
};

enum class PointerAction : std::uint8_t { None, LeftDown, LeftUp, RightDown, RightUp, Wheel };

// One wheel notch.
inline constexpr std::int32_t kWheelDelta = 120;

// A button or the wheel, where the pointer is.
struct PointerEvent {
  PointerAction action = PointerAction::None;
  std::int32_t wheel = 0;  // Wheel: away from the user when positive, kWheelDelta a notch
  bool operator==(const PointerEvent&) const = default;
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
  // One call into the system's input stream, the strokes in their order;
  // returns how many it inserted.
  virtual unsigned SendKeys(const KeyStroke* strokes, unsigned count) = 0;
  // One call into the system's input stream; false when it was not inserted.
  virtual bool SendPointer(const PointerEvent& event) = 0;
  virtual bool GetCursorPos(TPoint& position) = 0;
  virtual bool SetCursorPos(std::int32_t x, std::int32_t y) = 0;
  // The bounding rectangle of every monitor.
  virtual TRect VirtualScreen() = 0;
  // The hardware scan code of a virtual key in the current keyboard layout.
  virtual std::uint16_t ScanCodeOf(std::uint16_t virtual_key) = 0;
};

}  // namespace platform
