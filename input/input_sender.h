#pragma once
// The keyboard and mouse input records and the four send operations. Each
// operation is one call into the system's input stream.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/input.h"

namespace input {

class TInputSender {
 public:
  explicit TInputSender(platform::IInput& input);

  // The records as they are before the first command: three key-down
  // slots, three key-up slots, one mouse record.
  void InitInputRecords();

  // Each false when Windows took less than it was given (another program's
  // input blocked it, or the desktop changed). The keys it took down are
  // then let up again, so that no modifier stays held.
  bool SendKey(std::uint16_t vk);
  bool SendChord2(std::uint16_t mod, std::uint16_t vk);
  bool SendChord3(std::uint16_t k1, std::uint16_t k2, std::uint16_t k3);
  // A button or the wheel: `data` is the wheel's movement, 0 for a button.
  bool SendMouse(platform::PointerAction action, std::int32_t data);

  // Told each time Windows took less than it was given.
  std::function<void()> OnNotTaken;

  std::array<platform::KeyStroke, 6> KeyInputs{};
  platform::PointerEvent MouseInput{};

 private:
  void WriteKeySlot(std::size_t slot, std::uint16_t vk, bool up);
  // Sends the first `count` key slots; on a short take, lets up what went down.
  bool SendKeySlots(unsigned count);
  bool NotTaken();

  platform::IInput& input_;
};

}  // namespace input
