// The access policy's settings, over the registry double alone.
#include "access/access_settings.h"

#include <gtest/gtest.h>

#include "tests/doubles/fake_system.h"

namespace {

using platform::RootKey;

TEST(AccessSettings, AskingIsOnUnlessTheUserTurnedItOff) {
  struct Case {
    const char* stored;  // nullptr: no value
    bool ask;
  };
  for (const Case& c : {Case{nullptr, true}, Case{"1", true}, Case{"0", false}, Case{"", true}}) {
    doubles::FakeRegistry registry;
    if (c.stored != nullptr) {
      registry.SetString(RootKey::CurrentUser, access_policy::kSettingsKey,
                         access_policy::kAskValue, c.stored);
    }
    EXPECT_EQ(access_policy::ReadAskFirst(registry), c.ask) << (c.stored ? c.stored : "none");
  }
}

TEST(AccessSettings, TheChoiceIsWrittenAndReadBack) {
  doubles::FakeRegistry registry;
  ASSERT_TRUE(access_policy::WriteAskFirst(registry, false));
  EXPECT_EQ(registry.StringAt(RootKey::CurrentUser, access_policy::kSettingsKey,
                              access_policy::kAskValue),
            "0");
  EXPECT_FALSE(access_policy::ReadAskFirst(registry));
  ASSERT_TRUE(access_policy::WriteAskFirst(registry, true));
  EXPECT_TRUE(access_policy::ReadAskFirst(registry));
}

TEST(AccessSettings, ARefusedWriteIsReported) {
  doubles::FakeRegistry registry;
  registry.refuse_writes = true;
  EXPECT_FALSE(access_policy::WriteAskFirst(registry, false));
  EXPECT_TRUE(access_policy::ReadAskFirst(registry));
}

}  // namespace
