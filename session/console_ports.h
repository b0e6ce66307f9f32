#pragma once
// Which host of the PC serves the ports: only the one whose user's session
// has the screen and keyboard. A host whose session leaves the console gives
// the ports up; the host of the session that comes to it takes them as soon
// as the other has let go. A host that finds them held by another session's
// host waits without an error; a port held by any other program is still an
// error. A name some other program made, over ports nobody holds, does not
// keep the host from serving.
#include <functional>
#include <string>

#include "platform/sessions.h"
#include "platform/timers.h"
#include "service/host_events.h"

namespace session {

using service::Serving;

struct PortsActions {
  // Opens the listeners; throws the listener's error when a port cannot be had.
  std::function<void()> take;
  // Closes them; never fails.
  std::function<void()> give_up;
};

class TConsolePorts {
 public:
  // How often a waiting host looks whether the ports were given up.
  static constexpr unsigned kRetryMs = 1000;

  TConsolePorts(platform::ISessions& sessions, platform::ITimers& timers, PortsActions actions,
                std::function<void(Serving)> changed);
  ~TConsolePorts();
  TConsolePorts(const TConsolePorts&) = delete;
  TConsolePorts& operator=(const TConsolePorts&) = delete;

  // The start-up's take: an error leaves here, and the start-up fails with
  // the error box as before.
  void Start();
  void ConsoleConnected();
  void ConsoleDisconnected();
  // Closes and opens the listeners again, as after a sleep that broke them.
  // A failure is told through `changed`, not raised.
  void Reopen();
  // Gives the ports and the name up, for the host's end.
  void Stop();
  Serving State() const { return state_; }
  // The error of the last take that failed.
  const std::string& Error() const { return error_; }
  // Whether the ports are served although another program holds the name.
  bool NameHeldByAnotherProgram() const { return name_squatted_; }

 private:
  // True when the ports are taken now; throws the take's error.
  bool TryTake();
  // Takes the ports under the name; on an error gives back what was opened
  // and the name, and raises it.
  void TakeOrLetGo();
  // True when the ports bound although the name is held elsewhere.
  bool TakeWithoutTheName();
  void TakeWhenFree();
  void GiveUp(Serving state);
  void Become(Serving state);
  void StartRetry();
  void StopRetry();

  platform::ISessions& sessions_;
  platform::ITimers& timers_;
  PortsActions actions_;
  std::function<void(Serving)> changed_;
  Serving state_ = Serving::NotAtConsole;
  std::string error_;
  bool at_console_ = true;
  bool name_held_ = false;
  bool name_squatted_ = false;
  bool told_ = false;  // the first state is always told
  int retry_timer_ = 0;
};

}  // namespace session
