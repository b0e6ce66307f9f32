#include "session/session_service.h"

namespace session {

using service::Activity;

TSessionService::TSessionService(platform::ISessions& sessions, platform::ITimers& timers,
                                 service::IHostEvents& events, TSessionHooks hooks)
    : sessions_(sessions),
      timers_(timers),
      events_(events),
      hooks_(std::move(hooks)),
      ports_(sessions, timers, hooks_.ports, [this](Serving serving) { ServingChanged(serving); }) {
}

TSessionService::~TSessionService() { Stop(); }

void TSessionService::Start() {
  // A host started behind the lock screen hears no report of it.
  SetLocked(sessions_.LockedNow());
  ports_.Start();
  started_ = true;
  // Without session reports the host serves as before: the ports stay where
  // they are, and sleep is still reported to every window.
  sessions_.Watch([this](platform::SessionChange change) { Changed(change); });
}

void TSessionService::Stop() {
  sessions_.Unwatch();
  if (check_timer_ != 0) timers_.Stop(check_timer_);
  check_timer_ = 0;
  ports_.Stop();
}

void TSessionService::Changed(platform::SessionChange change) {
  using platform::SessionChange;
  switch (change) {
    case SessionChange::Suspending: break;  // nothing to save: the wake looks at everything
    case SessionChange::Resumed: Resumed(); break;
    case SessionChange::Locked: SetLocked(true); break;
    case SessionChange::Unlocked: SetLocked(false); break;
    case SessionChange::ConsoleConnected: ports_.ConsoleConnected(); break;
    case SessionChange::ConsoleDisconnected: ports_.ConsoleDisconnected(); break;
  }
}

// Windows may report a wake without the sleep before it, or twice: each is
// handled whole, and a check already waiting is simply waited for.
void TSessionService::Resumed() {
  events_.Happened({}, Activity::ResumedFromSleep, "");
  events_.WokeFromSleep();
  if (hooks_.restore_icon) hooks_.restore_icon();
  if (ports_.State() != Serving::Here || check_timer_ != 0) return;
  if (!hooks_.start_socket_check()) {
    ports_.Reopen();
    return;
  }
  check_timer_ = timers_.Start(kSocketCheckMs, [this] { FinishSocketCheck(); });
}

void TSessionService::FinishSocketCheck() {
  timers_.Stop(check_timer_);
  check_timer_ = 0;
  if (!hooks_.sockets_receive()) ports_.Reopen();
}

void TSessionService::SetLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  events_.LockChanged(locked);
}

// The first state is the start-up's: only later changes are news for the log.
void TSessionService::ServingChanged(Serving serving) {
  const Serving before = serving_;
  serving_ = serving;
  events_.ServingChanged(serving);
  // Told at the start-up too: a program that made the name is worth a look.
  if (serving == Serving::Here && ports_.NameHeldByAnotherProgram()) {
    events_.Happened({}, Activity::PortsNameSquatted, "");
  }
  if (!started_) return;
  if (serving == Serving::Here) events_.Happened({}, Activity::PortsTaken, "");
  if (serving == Serving::Failed) events_.Happened({}, Activity::PortsNotTaken, ports_.Error());
  if (before == Serving::Here && serving != Serving::Failed) {
    events_.Happened({}, Activity::PortsGivenUp, "");
  }
}

}  // namespace session
