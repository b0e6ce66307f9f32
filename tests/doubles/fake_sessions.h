#pragma once
// A double of the power and session reports and of the PC-wide name of the
// ports' host: the test reports changes and plays another session's host.
#include <functional>
#include <vector>

#include "platform/sessions.h"

namespace doubles {

class FakeSessions final : public platform::ISessions {
 public:
  bool at_console = true;
  bool held_elsewhere = false;  // another session's host holds the name
  bool held_here = false;
  bool locked = false;  // the lock screen is up as the host starts
  bool watch_works = true;
  std::function<void(platform::SessionChange)> changed;

  bool Watch(std::function<void(platform::SessionChange)> on_change) override {
    changed = std::move(on_change);
    return watch_works;
  }
  void Unwatch() override { changed = nullptr; }
  bool AtConsole() override { return at_console; }
  bool LockedNow() override { return locked; }
  bool HoldPortsName() override {
    if (held_elsewhere) return false;
    held_here = true;
    return true;
  }
  void ReleasePortsName() override { held_here = false; }
  bool PortsNameHeldElsewhere() override { return held_elsewhere; }

  // The system's report, as the main thread receives it.
  void Report(platform::SessionChange change) {
    if (changed) changed(change);
  }
};

}  // namespace doubles
