#pragma once
// The keyboard and mouse input records and the four send operations. Each
// operation is one call into the system's input stream.
#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/input.h"

namespace input {

class TInputSender {
 public:
  explicit TInputSender(platform::IInput& input);

  // The records as the form's creation leaves them: three key-down slots,
  // three key-up slots, one mouse record.
  void InitInputRecords();

  void SendKey(std::uint16_t vk);
  void SendChord2(std::uint16_t mod, std::uint16_t vk);
  void SendChord3(std::uint16_t k1, std::uint16_t k2, std::uint16_t k3);
  // A button or the wheel: `data` is the wheel's movement, 0 for a button.
  void SendMouse(platform::PointerAction action, std::int32_t data);

  std::array<platform::KeyStroke, 6> KeyInputs{};
  platform::PointerEvent MouseInput{};

 private:
  void WriteKeySlot(std::size_t slot, std::uint16_t vk, bool up);

  platform::IInput& input_;
};

}  // namespace input
