// The owners of what the platform hands out release it exactly once, however
// they end: moved, reset or destroyed.
#include "platform/owners.h"

#include <gtest/gtest.h>

#include "tests/doubles/fake_application.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/fake_sockets.h"
#include "tests/doubles/fake_system.h"

namespace {

using platform::RegistryView;
using platform::RootKey;

TEST(Owners, ARegistryKeyIsClosedOnceWhetherMovedResetOrDestroyed) {
  doubles::FakeRegistry registry;
  registry.SetString(RootKey::CurrentUser, "Software\\A", "x", "1");
  {
    platform::TRegistryKey key(
        registry, registry.OpenKey(RootKey::CurrentUser, "Software\\A", RegistryView::Native));
    ASSERT_TRUE(key);
    platform::TRegistryKey moved = std::move(key);
    EXPECT_FALSE(key);
    EXPECT_EQ(registry.open_keys, 1);
    platform::TRegistryKey other(
        registry, registry.OpenKey(RootKey::CurrentUser, "Software\\A", RegistryView::Native));
    moved = std::move(other);  // the first key is closed as it is replaced
    EXPECT_EQ(registry.open_keys, 1);
    moved.Reset();
    moved.Reset();
    EXPECT_EQ(registry.open_keys, 0);
  }
  EXPECT_EQ(registry.open_keys, 0);
  platform::TRegistryKey none(registry, 0);  // a key that could not be opened
  EXPECT_FALSE(none);
}

TEST(Owners, TheSocketLibraryEndsOnlyWhenItStarted) {
  doubles::FakeSockets sockets;
  { platform::TSocketLibrary library(sockets); }
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  sockets.startup_error = 10091;
  {
    platform::TSocketLibrary library(sockets);
    EXPECT_EQ(library.Error(), 10091);
  }
  EXPECT_EQ(sockets.cleanups, 1) << "a library that did not start is not ended";
}

TEST(Owners, TheClipboardIsClosedOnlyWhenItWasOpened) {
  doubles::FakeClipboard clipboard;
  clipboard.busy_for = 1;
  { platform::TOpenClipboard busy(clipboard); }
  { platform::TOpenClipboard open(clipboard); }
  EXPECT_EQ(clipboard.calls, (std::vector<std::string>{"Open", "Open", "Close"}));
}

TEST(Owners, TheInstanceLockIsReleasedUnlessKeptUntilTheProcessEnds) {
  doubles::FakeProcesses processes;
  { platform::TNamedMutex lock(processes, "M", true); }
  {
    platform::TNamedMutex lock(processes, "M", true);
    lock.KeepUntilExit();
  }
  EXPECT_EQ(processes.calls,
            (std::vector<std::string>{"CreateNamedMutex M owned", "ReleaseNamedMutex 42",
                                      "CreateNamedMutex M owned"}));
}

}  // namespace
