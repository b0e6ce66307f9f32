// Every operation writes each slot it sends right before its single SendInput
// call, so no event depends on what an earlier command left in the records.
#include "input/input_sender.h"

#include "platform/virtual_keys.h"

namespace input {

TInputSender::TInputSender(platform::IInput& input) : input_(input) { InitInputRecords(); }

void TInputSender::InitInputRecords() {
  for (std::size_t slot = 0; slot < KeyInputs.size(); ++slot) {
    KeyInputs[slot] = {};
    KeyInputs[slot].up = slot >= 3;
  }
  MouseInput = {};
}

// Each key goes out as the real key would: with its scan code and, for the
// navigation and Windows keys, the extended-key flag.
void TInputSender::WriteKeySlot(std::size_t slot, std::uint16_t vk, bool up) {
  KeyInputs[slot] = {vk, input_.ScanCodeOf(vk), platform::vk::IsExtendedKey(vk), up};
}

bool TInputSender::SendKey(std::uint16_t vk) {
  WriteKeySlot(0, vk, false);
  WriteKeySlot(1, vk, true);
  return SendKeySlots(2);
}

bool TInputSender::SendChord2(std::uint16_t mod, std::uint16_t vk) {
  WriteKeySlot(0, mod, false);
  WriteKeySlot(1, vk, false);
  WriteKeySlot(2, vk, true);
  WriteKeySlot(3, mod, true);
  return SendKeySlots(4);
}

bool TInputSender::SendChord3(std::uint16_t k1, std::uint16_t k2, std::uint16_t k3) {
  WriteKeySlot(0, k1, false);
  WriteKeySlot(1, k2, false);
  WriteKeySlot(2, k3, false);
  WriteKeySlot(3, k3, true);
  WriteKeySlot(4, k2, true);
  WriteKeySlot(5, k1, true);
  return SendKeySlots(6);
}

// The records go in order, so what Windows took is a prefix: its downs
// without their ups are the keys now held.
bool TInputSender::SendKeySlots(unsigned count) {
  const unsigned taken = input_.SendKeys(KeyInputs.data(), count);
  if (taken >= count) return true;
  std::array<platform::KeyStroke, 3> held{};
  unsigned holding = 0;
  for (unsigned slot = 0; slot < taken; ++slot) {
    if (KeyInputs[slot].up) {
      if (holding > 0) --holding;  // the chord's ups come in reverse order
    } else if (holding < held.size()) {
      held[holding++] = KeyInputs[slot];
    }
  }
  std::array<platform::KeyStroke, 3> ups{};
  for (unsigned i = 0; i < holding; ++i) {
    ups[i] = held[holding - 1 - i];
    ups[i].up = true;
  }
  // What cannot be let up now stays down until the user's own press of it:
  // there is nothing more the host can do.
  if (holding > 0) input_.SendKeys(ups.data(), holding);
  return NotTaken();
}

bool TInputSender::SendMouse(platform::PointerAction action, std::int32_t data) {
  MouseInput = {action, data};
  return input_.SendPointer(MouseInput) ? true : NotTaken();
}

bool TInputSender::NotTaken() {
  if (OnNotTaken) OnNotTaken();
  return false;
}

}  // namespace input
