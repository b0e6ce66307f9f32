#include "platform/win32/win32_timers.h"

namespace platform::win32 {
namespace {

// The ticks by timer id; the main thread alone starts, stops and runs them.
std::map<UINT_PTR, std::function<void()>>& Ticks() {
  static std::map<UINT_PTR, std::function<void()>> ticks;
  return ticks;
}

}  // namespace

Win32Timers::~Win32Timers() {
  for (const auto& [id, tick] : Ticks()) KillTimer(nullptr, id);
  Ticks().clear();
}

int Win32Timers::Start(unsigned interval_ms, std::function<void()> tick) {
  const UINT_PTR id = SetTimer(nullptr, 0, interval_ms, Tick);
  if (id == 0) return 0;
  Ticks()[id] = std::move(tick);
  return static_cast<int>(id);
}

void Win32Timers::Stop(int timer) {
  KillTimer(nullptr, static_cast<UINT_PTR>(timer));
  Ticks().erase(static_cast<UINT_PTR>(timer));
}

void CALLBACK Win32Timers::Tick(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = Ticks().find(id);
  if (found == Ticks().end()) return;
  // A copy: the tick may stop its own timer.
  auto tick = found->second;
  tick();
}

}  // namespace platform::win32
