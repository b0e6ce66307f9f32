#pragma once
// Doubles of the main thread's timers and the desktop hotkey; the test ticks
// the timers and presses the hotkey.
#include <functional>
#include <map>

#include "platform/hotkeys.h"
#include "platform/timers.h"

namespace doubles {

class FakeTimers final : public platform::ITimers {
 public:
  struct Timer {
    unsigned interval_ms;
    std::function<void()> tick;
  };
  std::map<int, Timer> running;
  int next_id = 1;

  int Start(unsigned interval_ms, std::function<void()> tick) override {
    running[next_id] = {interval_ms, std::move(tick)};
    return next_id++;
  }
  void Stop(int timer) override { running.erase(timer); }
  // Every running timer ticks once, as after its interval.
  void TickAll() {
    auto copy = running;
    for (auto& [id, timer] : copy) {
      if (running.count(id)) timer.tick();
    }
  }
};

class FakeHotkeys final : public platform::IHotkeys {
 public:
  bool taken = false;  // another program holds the chord
  platform::HotkeyChord chord{};
  std::function<void()> pressed;

  bool Register(const platform::HotkeyChord& wanted, std::function<void()> handler) override {
    if (taken) return false;
    chord = wanted;
    pressed = std::move(handler);
    return true;
  }
  void Unregister() override { pressed = nullptr; }
  void Press() {
    if (pressed) pressed();
  }
};

}  // namespace doubles
