#include "session/console_ports.h"

#include <exception>

namespace session {

TConsolePorts::TConsolePorts(platform::ISessions& sessions, platform::ITimers& timers,
                             PortsActions actions, std::function<void(Serving)> changed)
    : sessions_(sessions),
      timers_(timers),
      actions_(std::move(actions)),
      changed_(std::move(changed)) {}

TConsolePorts::~TConsolePorts() { StopRetry(); }

void TConsolePorts::Start() {
  at_console_ = sessions_.AtConsole();
  if (!at_console_) {
    Become(sessions_.PortsNameHeldElsewhere() ? Serving::OtherUser : Serving::NotAtConsole);
    return;
  }
  if (!TryTake()) {
    Become(Serving::OtherUser);
    StartRetry();
  }
}

void TConsolePorts::ConsoleConnected() {
  at_console_ = true;
  if (state_ == Serving::Here) return;
  TakeWhenFree();
  if (state_ != Serving::Here && state_ != Serving::Failed) StartRetry();
}

void TConsolePorts::ConsoleDisconnected() {
  at_console_ = false;
  StopRetry();
  if (state_ == Serving::Here) GiveUp(Serving::NotAtConsole);
}

void TConsolePorts::Reopen() {
  if (state_ != Serving::Here) return;
  actions_.give_up();
  try {
    actions_.take();
  } catch (const std::exception& error) {
    error_ = error.what();
    GiveUp(Serving::Failed);
  }
}

// The host closes its listeners itself as it ends, without the events of
// giving them up; only the name is this one's to let go.
void TConsolePorts::Stop() {
  StopRetry();
  if (name_held_) sessions_.ReleasePortsName();
  name_held_ = false;
}

// The name first: a host of another session that holds it has the ports,
// and binding them would only fail.
bool TConsolePorts::TryTake() {
  if (sessions_.HoldPortsName()) {
    name_held_ = true;
    TakeOrLetGo();
  } else if (!TakeWithoutTheName()) {
    return false;
  }
  Become(Serving::Here);
  return true;
}

void TConsolePorts::TakeOrLetGo() {
  try {
    actions_.take();
  } catch (...) {
    actions_.give_up();
    if (name_held_) sessions_.ReleasePortsName();
    name_held_ = false;
    throw;
  }
}

// Any program of any user may make the name. Ports that still bind mean
// nobody serves them: the host serves rather than wait for ever. A host of
// another session that has the ports makes the bind fail, and this one
// waits as before. The name is asked for once more after the bind, as a
// host that was just giving up lets go of its name after its ports.
bool TConsolePorts::TakeWithoutTheName() {
  try {
    actions_.take();
  } catch (const std::exception&) {
    actions_.give_up();  // the ports are another session's host's: wait for them
    return false;
  }
  name_held_ = sessions_.HoldPortsName();
  name_squatted_ = !name_held_;
  return true;
}

// After the start-up nobody waits for the error: it is told, and the host
// tries again when its session next comes to the console.
void TConsolePorts::TakeWhenFree() {
  try {
    if (!TryTake()) Become(Serving::OtherUser);
  } catch (const std::exception& error) {
    error_ = error.what();
    StopRetry();
    Become(Serving::Failed);
  }
}

// The listeners go first, the name after them: a host that sees the name
// gone finds the ports free.
void TConsolePorts::GiveUp(Serving state) {
  actions_.give_up();
  if (name_held_) sessions_.ReleasePortsName();
  name_held_ = false;
  name_squatted_ = false;
  Become(state);
}

void TConsolePorts::Become(Serving state) {
  if (state == Serving::Here) StopRetry();
  const bool changed = !told_ || state != state_ || state == Serving::Failed;
  state_ = state;
  told_ = true;
  if (changed && changed_) changed_(state_);
}

void TConsolePorts::StartRetry() {
  if (retry_timer_ != 0) return;
  retry_timer_ = timers_.Start(kRetryMs, [this] {
    if (at_console_ && state_ != Serving::Here) TakeWhenFree();
  });
}

void TConsolePorts::StopRetry() {
  if (retry_timer_ != 0) timers_.Stop(retry_timer_);
  retry_timer_ = 0;
}

}  // namespace session
