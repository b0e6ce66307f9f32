#pragma once
// Power and user sessions family: what the system says of sleep, of the lock
// screen and of which user's session has the console, and the name by which
// the host that serves the ports is seen from every session of the PC.
#include <cstdint>
#include <functional>

namespace platform {

enum class SessionChange {
  Suspending,  // the PC goes to sleep
  Resumed,     // the PC woke (also reported without a suspend before it)
  Locked,      // this session's lock screen came up
  Unlocked,
  ConsoleConnected,    // this session came to the PC's screen and keyboard
  ConsoleDisconnected  // another user's session took them, or a remote desktop
};

class ISessions {
 public:
  virtual ~ISessions() = default;
  // Calls `changed` on the main thread for every report until Unwatch; false
  // when the system would not report session changes (sleep is still told).
  virtual bool Watch(std::function<void(SessionChange)> changed) = 0;
  virtual void Unwatch() = 0;
  // Whether this session has the PC's screen and keyboard now; true when
  // the system would not say.
  virtual bool AtConsole() = 0;
  // Whether this session's lock screen is up now, for a host started behind
  // it; false when the system would not say.
  virtual bool LockedNow() = 0;
  // The PC-wide name the host serving the ports holds: true when it could
  // be had, false when another session's host holds it.
  virtual bool HoldPortsName() = 0;
  virtual void ReleasePortsName() = 0;
  // Whether a host of any other session holds the name now.
  virtual bool PortsNameHeldElsewhere() = 0;
};

}  // namespace platform
