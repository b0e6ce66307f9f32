#include "platform/win32/win32_input.h"

#include <windows.h>

namespace platform::win32 {

static_assert(sizeof(void*) != 8 || sizeof(INPUT) == 40, "INPUT is 40 bytes on x86_64");

// The longest chord the host presses: three keys down, three up.
constexpr unsigned kMostStrokes = 6;

unsigned Win32Input::SendKeys(const KeyStroke* strokes, unsigned count) {
  INPUT records[kMostStrokes] = {};
  // A part of a longer chord would leave its keys down: none of it goes,
  // and the caller hears that nothing was taken.
  if (count > kMostStrokes) return 0;
  for (unsigned i = 0; i < count; ++i) {
    records[i].type = INPUT_KEYBOARD;
    records[i].ki.wVk = strokes[i].virtual_key;
    records[i].ki.wScan = strokes[i].scan_code;
    records[i].ki.dwFlags =
        (strokes[i].up ? KEYEVENTF_KEYUP : 0) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
  }
  return ::SendInput(count, records, sizeof(INPUT));
}

namespace {

DWORD MouseFlags(PointerAction action) {
  switch (action) {
    case PointerAction::LeftDown: return MOUSEEVENTF_LEFTDOWN;
    case PointerAction::LeftUp: return MOUSEEVENTF_LEFTUP;
    case PointerAction::RightDown: return MOUSEEVENTF_RIGHTDOWN;
    case PointerAction::RightUp: return MOUSEEVENTF_RIGHTUP;
    case PointerAction::Wheel: return MOUSEEVENTF_WHEEL;
    case PointerAction::None: break;
  }
  return 0;
}

}  // namespace

bool Win32Input::SendPointer(const PointerEvent& event) {
  INPUT record = {};
  record.type = INPUT_MOUSE;
  record.mi.dwFlags = MouseFlags(event.action);
  record.mi.mouseData = static_cast<DWORD>(event.wheel);
  return ::SendInput(1, &record, sizeof(INPUT)) == 1;
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
