#include "platform/win32/win32_input.h"

#include <windows.h>

namespace platform::win32 {

static_assert(sizeof(void*) != 8 || sizeof(INPUT) == 40, "INPUT is 40 bytes on x86_64");

unsigned Win32Input::SendInput(unsigned count, const TInput* inputs) {
  INPUT records[8] = {};
  if (count > 8) count = 8;
  for (unsigned i = 0; i < count; ++i) {
    records[i].type = inputs[i].type;
    if (inputs[i].type == kInputKeyboard) {
      records[i].ki = {inputs[i].ki.wVk, inputs[i].ki.wScan, inputs[i].ki.dwFlags,
                       inputs[i].ki.time, static_cast<ULONG_PTR>(inputs[i].ki.dwExtraInfo)};
    } else {
      const TMouseInput& mouse = inputs[i].mi;
      records[i].mi = {mouse.dx,      mouse.dy,   static_cast<DWORD>(mouse.mouseData),
                       mouse.dwFlags, mouse.time, static_cast<ULONG_PTR>(mouse.dwExtraInfo)};
    }
  }
  return ::SendInput(count, records, sizeof(INPUT));
}

bool Win32Input::GetCursorPos(TPoint& position) {
  POINT point;
  if (!::GetCursorPos(&point)) return false;
  position = {point.x, point.y};
  return true;
}

bool Win32Input::SetCursorPos(std::int32_t x, std::int32_t y) { return ::SetCursorPos(x, y); }

TRect Win32Input::VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::uint16_t Win32Input::ScanCodeOf(std::uint16_t virtual_key) {
  return static_cast<std::uint16_t>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
}

}  // namespace platform::win32
