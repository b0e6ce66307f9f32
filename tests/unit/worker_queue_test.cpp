// The worker thread that the activity log's writer and the name lookups use.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "platform/worker_queue.h"

namespace {

using Queue = platform::TWorkerQueue<int>;

// Work that holds its first batch until the test lets it go, and keeps what
// it was given.
struct HeldWork {
  std::promise<void> started;
  std::promise<void> release;
  std::shared_future<void> released{release.get_future().share()};
  std::mutex mutex;
  std::vector<int> done;
  bool first = true;

  Queue::Work Body() {
    return [this](std::vector<int>& batch) {
      bool hold = false;
      {
        std::lock_guard lock(mutex);
        hold = first;
        first = false;
      }
      if (hold) {
        started.set_value();
        released.wait();
      }
      std::lock_guard lock(mutex);
      done.insert(done.end(), batch.begin(), batch.end());
    };
  }
  std::vector<int> Done() {
    std::lock_guard lock(mutex);
    return done;
  }
};

TEST(WorkerQueue, AFullLineDropsTheNewItemOrTheOldestAsAsked) {
  for (auto when_full : {Queue::WhenFull::DropNewest, Queue::WhenFull::DropOldest}) {
    HeldWork work;
    Queue queue(work.Body(), 2, Queue::AtEnd::Finish, when_full);
    EXPECT_FALSE(queue.Push(1));
    work.started.get_future().wait();  // 1 is in hand; the line is empty
    EXPECT_FALSE(queue.Push(2));
    EXPECT_FALSE(queue.Push(3));
    const std::optional<int> dropped = queue.Push(4);
    ASSERT_TRUE(dropped.has_value());
    const bool newest = when_full == Queue::WhenFull::DropNewest;
    EXPECT_EQ(*dropped, newest ? 4 : 2);
    work.release.set_value();
    queue.Flush();
    EXPECT_EQ(work.Done(), newest ? (std::vector<int>{1, 2, 3}) : (std::vector<int>{1, 3, 4}));
  }
}

TEST(WorkerQueue, EndingFinishesWhatWaitsOrDropsItAsAsked) {
  for (auto at_end : {Queue::AtEnd::Finish, Queue::AtEnd::Drop}) {
    HeldWork work;
    std::thread release_once_ending;
    {
      Queue queue(work.Body(), 8, at_end, Queue::WhenFull::DropNewest);
      queue.Push(1);
      work.started.get_future().wait();
      queue.Push(2);
      queue.Push(3);
      // The queue ends while 1 is in hand: its end waits for it.
      release_once_ending = std::thread([&] {
        while (!queue.Ending()) std::this_thread::yield();
        work.release.set_value();
      });
    }
    release_once_ending.join();
    const bool finish = at_end == Queue::AtEnd::Finish;
    EXPECT_EQ(work.Done(), finish ? (std::vector<int>{1, 2, 3}) : (std::vector<int>{1}));
  }
}

TEST(WorkerQueue, WorkSeesTheEndingAndAFlushWaitsForEveryItemBefore) {
  std::promise<void> started;
  std::promise<bool> saw_end;
  std::vector<int> flushed;
  {
    Queue queue(
        [&](std::vector<int>& batch) {
          if (batch.front() == 0) {
            flushed = batch;
            return;
          }
          started.set_value();
          while (!queue.Ending()) std::this_thread::yield();
          saw_end.set_value(true);
        },
        8, Queue::AtEnd::Drop, Queue::WhenFull::DropNewest, std::chrono::milliseconds(50));
    queue.Push(0);
    queue.Flush();  // not held back by the gathering time
    EXPECT_EQ(flushed, std::vector<int>{0});
    queue.Push(1);
    started.get_future().wait();
  }
  EXPECT_TRUE(saw_end.get_future().get());
}

}  // namespace
