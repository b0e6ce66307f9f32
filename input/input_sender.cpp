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

void TInputSender::SendKey(std::uint16_t vk) {
  WriteKeySlot(0, vk, false);
  WriteKeySlot(1, vk, true);
  input_.SendKeys(KeyInputs.data(), 2);
}

void TInputSender::SendChord2(std::uint16_t mod, std::uint16_t vk) {
  WriteKeySlot(0, mod, false);
  WriteKeySlot(1, vk, false);
  WriteKeySlot(2, vk, true);
  WriteKeySlot(3, mod, true);
  input_.SendKeys(KeyInputs.data(), 4);
}

void TInputSender::SendChord3(std::uint16_t k1, std::uint16_t k2, std::uint16_t k3) {
  WriteKeySlot(0, k1, false);
  WriteKeySlot(1, k2, false);
  WriteKeySlot(2, k3, false);
  WriteKeySlot(3, k3, true);
  WriteKeySlot(4, k2, true);
  WriteKeySlot(5, k1, true);
  input_.SendKeys(KeyInputs.data(), 6);
}

void TInputSender::SendMouse(platform::PointerAction action, std::int32_t data) {
  MouseInput = {action, data};
  input_.SendPointer(MouseInput);
}

}  // namespace input
