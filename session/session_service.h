#pragma once
// What the system does around the host, as one capability: sleep and the
// wake after it (the adapters read again, the listeners checked and opened
// again, the icon put back), this session's lock screen (no input goes out
// behind it) and the hand-over of the ports between the users of the PC.
#include <functional>

#include "platform/sessions.h"
#include "platform/timers.h"
#include "service/host_events.h"
#include "session/console_ports.h"

namespace session {

struct TSessionHooks {
  PortsActions ports;
  // Sends the listeners' checks after a wake; false when they could not be sent.
  std::function<bool()> start_socket_check;
  // After the check's wait: whether every listener still receives.
  std::function<bool()> sockets_receive;
  // Puts the tray icon back, as the shell may have dropped it over sleep.
  std::function<void()> restore_icon;
};

class TSessionService final {
 public:
  // How long the listeners' own datagram may take to come back.
  static constexpr unsigned kSocketCheckMs = 1000;

  TSessionService(platform::ISessions& sessions, platform::ITimers& timers,
                  service::IHostEvents& events, TSessionHooks hooks);
  ~TSessionService();
  TSessionService(const TSessionService&) = delete;
  TSessionService& operator=(const TSessionService&) = delete;

  // Its part of the start-up: takes the ports unless another user's host
  // has them (a port another program holds still fails the start-up), then
  // follows the system's reports.
  void Start();
  // Gives the ports up and stops following: nothing may call in once the host goes.
  void Stop();
  // One report of the system, on the main thread.
  void Changed(platform::SessionChange change);

  bool Locked() const { return locked_; }
  Serving State() const { return ports_.State(); }

 private:
  void Resumed();
  void FinishSocketCheck();
  void SetLocked(bool locked);
  void ServingChanged(Serving serving);

  platform::ISessions& sessions_;
  platform::ITimers& timers_;
  service::IHostEvents& events_;
  TSessionHooks hooks_;
  TConsolePorts ports_;
  bool locked_ = false;
  Serving serving_ = Serving::NotAtConsole;
  bool started_ = false;
  int check_timer_ = 0;
};

}  // namespace session
