#include "protocol/main_thread_handover.h"

#include <algorithm>
#include <thread>

namespace protocol {

TMainThreadHandover::TMainThreadHandover(std::function<void()> wake) : wake_(std::move(wake)) {}

bool TMainThreadHandover::Synchronize(const std::function<void()>& call, std::exception_ptr& error,
                                      platform::ISignal& done) {
  Entry entry{&call, &done, nullptr};
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    queue_.push_back(&entry);
    changed_.notify_all();
  }
  if (wake_) wake_();
  // A call the main thread has taken is always waited for to its end, even when
  // the hand-over closes meanwhile: the entry lives on this stack. A signal
  // left set by an earlier call only costs one more look.
  for (;;) {
    const bool woken = done.Wait(kWakeRetry);
    if (entry.stage.load(std::memory_order_acquire) >= Stage::Done) break;
    std::unique_lock lock(mutex_);
    if (entry.stage.load() == Stage::Waiting && closed_) {
      queue_.erase(std::remove(queue_.begin(), queue_.end(), &entry), queue_.end());
      return false;
    }
    if (woken || entry.stage.load() != Stage::Waiting || !wake_) continue;
    lock.unlock();
    wake_();
  }
  // The main thread is between setting the signal and letting go of the entry.
  while (entry.stage.load(std::memory_order_acquire) != Stage::Released) std::this_thread::yield();
  error = entry.error;
  return true;
}

int TMainThreadHandover::RunPending() {
  int ran = 0;
  for (;;) {
    Entry* entry = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty() || closed_) return ran;
      entry = queue_.front();
      queue_.pop_front();
      entry->stage = Stage::Taken;
    }
    try {
      (*entry->call)();
    } catch (...) {
      entry->error = std::current_exception();
    }
    platform::ISignal* signal = entry->done_signal;
    entry->stage.store(Stage::Done, std::memory_order_release);
    signal->Set();
    // The last touch of the entry: the listener may return from here on.
    entry->stage.store(Stage::Released, std::memory_order_release);
    ++ran;
  }
}

int TMainThreadHandover::WaitAndRun(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return !queue_.empty() || closed_; });
  }
  return RunPending();
}

void TMainThreadHandover::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  changed_.notify_all();
  // Callers whose call was not taken wait no more.
  for (Entry* entry : queue_) entry->done_signal->Set();
}

void TMainThreadHandover::Open() {
  std::lock_guard lock(mutex_);
  closed_ = false;
}

}  // namespace protocol
