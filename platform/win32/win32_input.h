#pragma once
#include "platform/input.h"

namespace platform::win32 {

class Win32Input final : public IInput {
 public:
  unsigned SendKeys(const KeyStroke* strokes, unsigned count) override;
  bool SendPointer(const PointerEvent& event) override;
  bool GetCursorPos(TPoint& position) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  TRect VirtualScreen() override;
  std::uint16_t ScanCodeOf(std::uint16_t virtual_key) override;
};

}  // namespace platform::win32
