// The watch of the adapters' addresses calls into its owner from a thread of
// the system's: it must end before its owner does, however the owner ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/framework_error.h"
#include "platform/owners.h"
#include "tests/doubles/access_fixture.h"

namespace {

using namespace std::chrono_literals;

TEST(AddressWatch, AChangeMakesTheAccessRuleReadTheAdaptersAgain) {
  doubles::AccessFixture fixture;
  fixture.Create();
  // A subnet that appears is served at the next datagram once the system told of it.
  ASSERT_TRUE(fixture.Access().Nearby.IsNearby(0xC0A80125u));
  const int reads = fixture.sockets.interface_reads;
  fixture.sockets.ChangeAddresses();
  fixture.Access().Nearby.IsNearby(0x0A000005u);
  EXPECT_GT(fixture.sockets.interface_reads, reads);
}

TEST(AddressWatch, SeveralWatchesStackAndEachEndsAlone) {
  doubles::FakeSockets sockets;
  int first = 0;
  int second = 0;
  platform::TAddressWatch one(sockets, [&] { ++first; });
  {
    platform::TAddressWatch two(sockets, [&] { ++second; });
    sockets.ChangeAddresses();
  }
  sockets.ChangeAddresses();
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 1);
}

TEST(AddressWatch, AMovedWatchEndsOnce) {
  doubles::FakeSockets sockets;
  int calls = 0;
  platform::TAddressWatch moved;
  {
    platform::TAddressWatch watch(sockets, [&] { ++calls; });
    moved = std::move(watch);
  }
  sockets.ChangeAddresses();
  EXPECT_EQ(calls, 1);
  moved.Reset();
  sockets.ChangeAddresses();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(sockets.AddressWatches(), 0u);
}

TEST(AddressWatch, EndingWaitsForACallThatIsRunning) {
  doubles::FakeSockets sockets;
  std::promise<void> entered;
  std::promise<void> release;
  std::atomic<bool> finished{false};
  auto watch = std::make_unique<platform::TAddressWatch>(sockets, [&] {
    entered.set_value();
    release.get_future().wait();
    finished = true;
  });
  std::thread system([&] { sockets.ChangeAddresses(); });
  entered.get_future().wait();
  auto ended = std::async(std::launch::async, [&] { watch.reset(); });
  EXPECT_EQ(ended.wait_for(100ms), std::future_status::timeout);
  release.set_value();
  ended.get();
  EXPECT_TRUE(finished);
  system.join();
}

}  // namespace
