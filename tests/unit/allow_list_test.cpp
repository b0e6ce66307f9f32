// The allow-list as the registry holds it: one form for every device name,
// whatever form a value was written in.
#include "access/allow_list.h"

#include <gtest/gtest.h>

#include "tests/doubles/fake_system.h"

namespace {

using platform::RootKey;

TEST(AllowList, DeviceNamesHaveOneForm) {
  struct Case {
    const char* text;
    const char* name;
  };
  const Case cases[] = {
      {"3c-22-fb-01-02-0a", "3c-22-fb-01-02-0a"},
      {"3C-22-FB-01-02-0A", "3c-22-fb-01-02-0a"},
      {"3c:22:fb:01:02:0a", "3c-22-fb-01-02-0a"},
      {"3C:22-fb:01-02:0A", "3c-22-fb-01-02-0a"},
      {"192.168.1.23", "192.168.1.23"},
      {"ff-ff-ff-ff-ff-ff", ""},  // broadcast: no single device
      {"FF:FF:FF:FF:FF:FF", ""},
      {"00-00-00-00-00-00", ""},  // unset
      {"3c-22-fb-01-02", ""},
      {"3c-22-fb-01-02-0g", ""},
      {"3c_22_fb_01_02_0a", ""},
      {"phone", ""},
      {"", ""},
      {"192.168.1.256", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(access_policy::DeviceName(c.text), c.name) << c.text;
}

TEST(AllowList, ValuesInAnyFormAdmitTheirDeviceAndNamesOfNoDeviceNone) {
  doubles::FakeRegistry registry;
  for (const char* name : {"AA:BB:CC:DD:EE:01", "aa-bb-cc-dd-ee-02", "192.168.1.30",
                           "ff-ff-ff-ff-ff-ff", "00-00-00-00-00-00", "my phone"}) {
    registry.SetString(RootKey::CurrentUser, access_policy::kDevicesKey, name, "192.168.1.9");
  }
  access_policy::TAllowList list(registry);
  list.Load();
  EXPECT_TRUE(list.Contains("aa-bb-cc-dd-ee-01"));
  EXPECT_TRUE(list.Contains("AA-BB-CC-DD-EE-02"));
  EXPECT_TRUE(list.Contains("192.168.1.30"));
  EXPECT_FALSE(list.Contains("ff-ff-ff-ff-ff-ff"));
  EXPECT_FALSE(list.Contains("00-00-00-00-00-00"));
  EXPECT_FALSE(list.Contains("my phone"));
  EXPECT_EQ(list.Devices(),
            (std::vector<std::string>{"192.168.1.30", "aa-bb-cc-dd-ee-01", "aa-bb-cc-dd-ee-02"}));
}

TEST(AllowList, AddWritesTheOneFormAndRemoveTakesTheStoredValueAway) {
  doubles::FakeRegistry registry;
  registry.SetString(RootKey::CurrentUser, access_policy::kDevicesKey, "AA:BB:CC:DD:EE:01",
                     "192.168.1.9");
  access_policy::TAllowList list(registry);
  list.Load();
  ASSERT_TRUE(list.Add("3C:22:FB:01:02:0A", "192.168.1.23"));
  EXPECT_EQ(
      registry.StringAt(RootKey::CurrentUser, access_policy::kDevicesKey, "3c-22-fb-01-02-0a"),
      "192.168.1.23");
  ASSERT_TRUE(list.Remove("aa-bb-cc-dd-ee-01"));
  EXPECT_FALSE(
      registry.StringAt(RootKey::CurrentUser, access_policy::kDevicesKey, "AA:BB:CC:DD:EE:01"));
  list.Load();
  EXPECT_FALSE(list.Contains("aa-bb-cc-dd-ee-01")) << "forgotten for good";
}

}  // namespace
