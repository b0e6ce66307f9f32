#include "protocol/main_thread_handover.h"

#include <algorithm>

namespace protocol {

TMainThreadHandover::TMainThreadHandover(std::function<void()> wake) : wake_(std::move(wake)) {}

bool TMainThreadHandover::Synchronize(const std::function<void()>& call, std::exception_ptr& error,
                                      platform::ISignal& done) {
  Entry entry{&call, &done, nullptr};
  std::unique_lock lock(mutex_);
  if (closed_) return false;
  queue_.push_back(&entry);
  changed_.notify_all();
  lock.unlock();
  if (wake_) wake_();
  lock.lock();
  // A call the main thread has taken is always waited for to its end, even when
  // the hand-over closes meanwhile: the entry lives on this stack. A signal
  // left set by an earlier call only costs one more look.
  const auto finished = [&] { return entry.done || (closed_ && !entry.taken); };
  while (!finished()) {
    lock.unlock();
    const bool woken = done.Wait(kWakeRetry);
    lock.lock();
    if (woken || finished() || entry.taken || !wake_) continue;
    lock.unlock();
    wake_();
    lock.lock();
  }
  if (!entry.done) {
    queue_.erase(std::remove(queue_.begin(), queue_.end(), &entry), queue_.end());
    return false;
  }
  error = entry.error;
  return true;
}

int TMainThreadHandover::RunPending() {
  int ran = 0;
  std::unique_lock lock(mutex_);
  while (!queue_.empty() && !closed_) {
    Entry* entry = queue_.front();
    queue_.pop_front();
    entry->taken = true;
    lock.unlock();
    try {
      (*entry->call)();
    } catch (...) {
      entry->error = std::current_exception();
    }
    lock.lock();
    entry->done = true;
    // Set under the lock: once the caller sees `done` it may return, and its
    // thread, whose signal this is, may end.
    entry->done_signal->Set();
    ++ran;
  }
  return ran;
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
