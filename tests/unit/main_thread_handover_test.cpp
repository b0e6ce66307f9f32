#include "protocol/main_thread_handover.h"

#include "platform/signal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(Handover, RunsTheCallOnTheMainThreadAndWaitsForIt) {
  protocol::TMainThreadHandover handover;
  const auto main_id = std::this_thread::get_id();
  std::thread::id ran_on;
  std::atomic<bool> returned{false};
  std::thread listener([&] {
    const auto done = std::make_unique<platform::TConditionSignal>();
    std::exception_ptr error;
    std::function<void()> call = [&] { ran_on = std::this_thread::get_id(); };
    EXPECT_TRUE(handover.Synchronize(call, error, *done));
    EXPECT_FALSE(error);
    returned = true;
  });
  while (handover.WaitAndRun(50ms) == 0) {
  }
  listener.join();
  EXPECT_TRUE(returned);
  EXPECT_EQ(ran_on, main_id);
}

TEST(Handover, GivesTheCallersErrorBackToTheListener) {
  protocol::TMainThreadHandover handover;
  std::exception_ptr error;
  std::thread listener([&] {
    const auto done = std::make_unique<platform::TConditionSignal>();
    std::function<void()> call = [] { throw std::runtime_error("handler failed"); };
    handover.Synchronize(call, error, *done);
  });
  while (handover.WaitAndRun(50ms) == 0) {
  }
  listener.join();
  ASSERT_TRUE(error);
  EXPECT_THROW(std::rethrow_exception(error), std::runtime_error);
}

// A wake-up the system refused (a full message queue) must not stall the
// channel: the listener wakes the main thread again until the call is taken.
TEST(Handover, ALostWakeUpIsRetriedUntilTheMainThreadRunsTheCall) {
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  bool delivered = false;
  protocol::TMainThreadHandover handover([&] {
    std::lock_guard lock(mutex);
    if (++wakes > 2) delivered = true;  // the first two posts fail
    woken.notify_all();
  });
  std::atomic<bool> returned{false};
  std::thread listener([&] {
    const auto done = std::make_unique<platform::TConditionSignal>();
    std::exception_ptr error;
    std::function<void()> call = [] {};
    handover.Synchronize(call, error, *done);
    returned = true;
  });
  // This main thread, like the real one, runs waiting calls only when woken.
  bool got_through = false;
  {
    std::unique_lock lock(mutex);
    got_through = woken.wait_for(lock, 10s, [&] { return delivered; });
  }
  if (!got_through) handover.Close();  // release the listener before failing
  handover.RunPending();
  int wakes_when_taken = 0;
  {
    std::lock_guard lock(mutex);
    wakes_when_taken = wakes;
  }
  listener.join();
  EXPECT_TRUE(got_through) << "the call waited for a wake-up that never came";
  EXPECT_TRUE(returned);
  EXPECT_GE(wakes_when_taken, 3);
  EXPECT_EQ(wakes, wakes_when_taken) << "no more wake-ups once the call was taken";
}

TEST(Handover, WakesTheMainThreadForEveryCall) {
  std::atomic<int> wakes{0};
  protocol::TMainThreadHandover handover([&] { ++wakes; });
  std::thread listener([&] {
    const auto done = std::make_unique<platform::TConditionSignal>();
    std::exception_ptr error;
    std::function<void()> call = [] {};
    handover.Synchronize(call, error, *done);
    handover.Synchronize(call, error, *done);
  });
  int ran = 0;
  while (ran < 2) ran += handover.WaitAndRun(50ms);
  listener.join();
  // At least one each; a call the main thread is slow to take is woken for again.
  EXPECT_GE(wakes, 2);
}

// Each waiting thread is woken through its own signal, once per call, and by
// nothing else: under Wine each wake-up is a call to the shared server.
struct CountingSignal final : platform::ISignal {
  platform::TConditionSignal real;
  std::atomic<int> sets{0};
  void Set() override {
    ++sets;
    real.Set();
  }
  bool Wait(std::chrono::milliseconds timeout) override { return real.Wait(timeout); }
};

TEST(Handover, WakesEachWaitingThreadThroughItsOwnSignalOncePerCall) {
  protocol::TMainThreadHandover handover;
  CountingSignal first_done, second_done;
  auto listen = [&](CountingSignal& done, int calls) {
    return std::thread([&handover, &done, calls] {
      std::exception_ptr error;
      std::function<void()> call = [] {};
      for (int i = 0; i < calls; ++i) EXPECT_TRUE(handover.Synchronize(call, error, done));
    });
  };
  std::thread first = listen(first_done, 3);
  std::thread second = listen(second_done, 2);
  int ran = 0;
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (ran < 5 && std::chrono::steady_clock::now() < end) ran += handover.WaitAndRun(50ms);
  first.join();
  second.join();
  EXPECT_EQ(ran, 5);
  EXPECT_EQ(first_done.sets, 3);
  EXPECT_EQ(second_done.sets, 2);
}

// The woken listener takes the hand-over's lock at once; if the main thread
// still held it, the listener would sleep again on the lock (under Wine, more
// calls to the shared server on every key). And the listener may return only
// once the main thread is done with its signal, which may end with it.
struct SlowSignal final : platform::ISignal {
  protocol::TMainThreadHandover* handover = nullptr;
  platform::TConditionSignal real;
  std::atomic<bool> lock_was_free{false};
  std::atomic<bool> set_finished{false};
  // Kept past Set: were the lock held, the look would end only after Set.
  std::future<int> look;
  void Set() override {
    real.Set();
    // Another thread looks at the hand-over while this Set is under way.
    look = std::async(std::launch::async, [this] { return handover->RunPending(); });
    lock_was_free = look.wait_for(2s) == std::future_status::ready;
    std::this_thread::sleep_for(20ms);
    set_finished = true;
  }
  bool Wait(std::chrono::milliseconds timeout) override { return real.Wait(timeout); }
};

TEST(Handover, SetsTheSignalWithoutTheLockAndKeepsTheListenerUntilDone) {
  protocol::TMainThreadHandover handover;
  SlowSignal done;
  done.handover = &handover;
  std::atomic<bool> finished_when_returned{false};
  std::thread listener([&] {
    std::exception_ptr error;
    std::function<void()> call = [] {};
    EXPECT_TRUE(handover.Synchronize(call, error, done));
    finished_when_returned = done.set_finished.load();
  });
  while (handover.WaitAndRun(50ms) == 0) {
  }
  listener.join();
  EXPECT_TRUE(done.lock_was_free) << "the main thread held the lock while it woke the listener";
  EXPECT_TRUE(finished_when_returned) << "the listener returned while its signal was in use";
}

TEST(Handover, CloseReleasesAWaitingListenerWithoutRunningTheCall) {
  std::promise<void> queued;
  protocol::TMainThreadHandover handover([&queued] { queued.set_value(); });
  std::atomic<bool> ran{false};
  std::atomic<int> result{-1};
  std::thread listener([&] {
    const auto done = std::make_unique<platform::TConditionSignal>();
    std::exception_ptr error;
    std::function<void()> call = [&] { ran = true; };
    result = handover.Synchronize(call, error, *done) ? 1 : 0;
  });
  // The wake-up comes once the call is in the queue: close instead of running it.
  ASSERT_EQ(queued.get_future().wait_for(10s), std::future_status::ready);
  handover.Close();
  listener.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handover.RunPending(), 0);
  EXPECT_FALSE(ran);
  std::exception_ptr error;
  const auto done = std::make_unique<platform::TConditionSignal>();
  std::function<void()> later = [&] { ran = true; };
  EXPECT_FALSE(handover.Synchronize(later, error, *done)) << "closed means closed";
}

}  // namespace
