#include "protocol/main_thread_handover.h"

#include <gtest/gtest.h>

#include <future>

#include <atomic>
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
    std::exception_ptr error;
    std::function<void()> call = [&] { ran_on = std::this_thread::get_id(); };
    EXPECT_TRUE(handover.Synchronize(call, error));
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
    std::function<void()> call = [] { throw std::runtime_error("handler failed"); };
    handover.Synchronize(call, error);
  });
  while (handover.WaitAndRun(50ms) == 0) {
  }
  listener.join();
  ASSERT_TRUE(error);
  EXPECT_THROW(std::rethrow_exception(error), std::runtime_error);
}

TEST(Handover, WakesTheMainThreadForEveryCall) {
  std::atomic<int> wakes{0};
  protocol::TMainThreadHandover handover([&] { ++wakes; });
  std::thread listener([&] {
    std::exception_ptr error;
    std::function<void()> call = [] {};
    handover.Synchronize(call, error);
    handover.Synchronize(call, error);
  });
  int ran = 0;
  while (ran < 2) ran += handover.WaitAndRun(50ms);
  listener.join();
  EXPECT_EQ(wakes, 2);
}

TEST(Handover, CloseReleasesAWaitingListenerWithoutRunningTheCall) {
  std::promise<void> queued;
  protocol::TMainThreadHandover handover([&queued] { queued.set_value(); });
  std::atomic<bool> ran{false};
  std::atomic<int> result{-1};
  std::thread listener([&] {
    std::exception_ptr error;
    std::function<void()> call = [&] { ran = true; };
    result = handover.Synchronize(call, error) ? 1 : 0;
  });
  // The wake-up comes once the call is in the queue: close instead of running it.
  ASSERT_EQ(queued.get_future().wait_for(10s), std::future_status::ready);
  handover.Close();
  listener.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handover.RunPending(), 0);
  EXPECT_FALSE(ran);
  std::exception_ptr error;
  std::function<void()> later = [&] { ran = true; };
  EXPECT_FALSE(handover.Synchronize(later, error)) << "closed means closed";
}

}  // namespace
