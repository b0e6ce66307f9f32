#pragma once
// A thread of its own that works through what others hand it, so that they
// never wait for the work (a disk, a name server). Items wait in a bounded
// line; the thread takes all that wait at once, as one batch. Ending the
// queue waits for the batch in hand, then either finishes what still waits
// or drops it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace platform {

template <class Item>
class TWorkerQueue {
 public:
  using Work = std::function<void(std::vector<Item>& batch)>;
  enum class AtEnd { Drop, Finish };
  // What goes when the line is full: the item pushed, or the oldest waiting.
  enum class WhenFull { DropNewest, DropOldest };

  // `gather`: after a batch, what comes in within this time joins the next
  // one, unless a Flush waits for it.
  TWorkerQueue(Work work, std::size_t capacity, AtEnd at_end, WhenFull when_full,
               std::chrono::milliseconds gather = std::chrono::milliseconds(0))
      : work_(std::move(work)),
        capacity_(capacity),
        at_end_(at_end),
        when_full_(when_full),
        gather_(gather),
        thread_([this] { Run(); }) {}

  ~TWorkerQueue() {
    {
      std::lock_guard lock(mutex_);
      ending_ = true;
      ending_flag_ = true;
    }
    added_.notify_one();
    thread_.join();
  }
  TWorkerQueue(const TWorkerQueue&) = delete;
  TWorkerQueue& operator=(const TWorkerQueue&) = delete;

  // The item dropped to keep the bound, if one was.
  std::optional<Item> Push(Item item) {
    std::optional<Item> dropped;
    {
      std::lock_guard lock(mutex_);
      ++pushed_;
      if (waiting_.size() >= capacity_) {
        ++done_;  // it will never be worked on: Flush need not wait for it
        if (when_full_ == WhenFull::DropNewest || waiting_.empty()) return item;
        dropped = std::move(waiting_.front());
        waiting_.erase(waiting_.begin());
      }
      waiting_.push_back(std::move(item));
    }
    added_.notify_one();
    return dropped;
  }

  // Returns once every item pushed before has been worked on or dropped.
  void Flush() {
    std::unique_lock lock(mutex_);
    const std::uint64_t target = pushed_;
    flush_target_ = std::max(flush_target_, target);
    added_.notify_one();
    done_changed_.wait(lock, [&] { return done_ >= target; });
  }

  // For the work: the queue is ending, and a batch that drops may stop early.
  bool Ending() const { return ending_flag_; }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      // Asleep until there is something to do: an idle host never wakes here.
      added_.wait(lock, [&] { return ending_ || !waiting_.empty(); });
      if (ending_ && (waiting_.empty() || at_end_ == AtEnd::Drop)) return;
      std::vector<Item> batch;
      batch.swap(waiting_);
      const std::uint64_t taken = batch.size();
      lock.unlock();
      work_(batch);
      lock.lock();
      done_ += taken;
      done_changed_.notify_all();
      if (gather_.count() > 0) {
        added_.wait_for(lock, gather_, [&] { return ending_ || flush_target_ > done_; });
      }
    }
  }

  Work work_;
  const std::size_t capacity_;
  const AtEnd at_end_;
  const WhenFull when_full_;
  const std::chrono::milliseconds gather_;
  std::mutex mutex_;
  std::condition_variable added_;
  std::condition_variable done_changed_;
  std::vector<Item> waiting_;
  std::uint64_t pushed_ = 0;
  std::uint64_t done_ = 0;  // worked on or dropped
  std::uint64_t flush_target_ = 0;
  bool ending_ = false;
  std::atomic<bool> ending_flag_{false};
  std::thread thread_;  // last: starts once everything above is there
};

}  // namespace platform
