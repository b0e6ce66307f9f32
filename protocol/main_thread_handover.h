#pragma once
// Hands a call from the listener thread to the main thread and blocks the
// listener until the main thread has run it, so that every handler runs on the
// main thread, one at a time, in arrival order.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

#include "platform/signal.h"

namespace protocol {

class TMainThreadHandover {
 public:
  // How long a call waits to be taken before the main thread is woken again:
  // a wake-up can be lost (a full message queue refuses the post).
  static constexpr std::chrono::milliseconds kWakeRetry{100};

  // `wake` tells the main thread that a call waits (on Windows: a posted
  // message). It is called again every kWakeRetry while the call waits.
  explicit TMainThreadHandover(std::function<void()> wake = {});

  // Listener side. Runs `call` on the main thread and waits for it; `error` gets
  // what the call raised. False, without running it, once the hand-over is closed.
  // `done` is the calling thread's own: the main thread sets it when the call
  // has run (or the hand-over closed), and nothing else waits on it.
  bool Synchronize(const std::function<void()>& call, std::exception_ptr& error,
                   platform::ISignal& done);

  // Main-thread side: runs every call that waits; returns how many ran.
  int RunPending();
  // Main-thread side, for loops without a message queue: waits up to `timeout`
  // for a call and runs what waits. Returns how many ran.
  int WaitAndRun(std::chrono::milliseconds timeout);

  // Refuses further calls and releases a listener that waits for one not yet taken.
  void Close();
  void Open();

 private:
  // Where a call stands. The main thread finishes it without the lock, so
  // that the woken listener never waits for the lock the main thread still
  // holds: `Done` is written before the signal is set and `Released` after,
  // and the listener returns (and its entry and signal may go) only then.
  enum class Stage { Waiting, Taken, Done, Released };
  struct Entry {
    const std::function<void()>* call;
    platform::ISignal* done_signal;
    std::exception_ptr error;
    std::atomic<Stage> stage{Stage::Waiting};
  };

  std::function<void()> wake_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Entry*> queue_;
  bool closed_ = false;
};

}  // namespace protocol
