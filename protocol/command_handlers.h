#pragma once
// The group handlers a command datagram ends in, one method per row of the
// dispatch table. The main form implements them; tests record them.
#include <cstdint>
#include <string_view>

namespace protocol {

class TCommandHandlers {
 public:
  virtual ~TCommandHandlers() = default;
  // Group 1: a button of a media application page (1..8).
  virtual void MediaPageButton(std::uint8_t page, std::uint8_t code) = 0;
  // Group 2: text to type, already cut at its first zero byte.
  virtual void TypeText(std::string_view text) = 0;
  // Group 3.
  virtual void MovePointer(std::int8_t dx, std::int8_t dy) = 0;
  virtual void LeftClick() = 0;
  virtual void RightClick() = 0;
  virtual void TurnWheel(bool toward_user) = 0;
  // Group 4: maker utilities 1..4.
  virtual void LaunchUtility(std::uint8_t selector) = 0;
  virtual void CloseUtility(std::uint8_t selector) = 0;
};

}  // namespace protocol
