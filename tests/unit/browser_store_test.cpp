// The paired browsers' store: keys wrapped for the user, never in the clear,
// and what another user or a changed value leaves.
#include <gtest/gtest.h>

#include "browser/paired_browsers.h"
#include "tests/doubles/fake_protect.h"
#include "tests/doubles/fake_system.h"

namespace {

using platform::Bytes;
using platform::RootKey;

const Bytes kKey = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80,
                    0x90, 0xa0, 0xb0, 0xc0, 0xd0, 0xe0, 0xf0, 0x01};

std::string HexOf(const Bytes& bytes) {
  std::string hex;
  char pair[3];
  for (std::uint8_t byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

struct StoreFixture {
  doubles::FakeRegistry registry;
  doubles::FakeProtect protect;
  browser::TPairedBrowsers store{registry, protect};
};

TEST(BrowserStore, APairedBrowserIsKeptWrappedAndReadBackAfterARestart) {
  StoreFixture t;
  const std::string id = browser::BrowserIdOf(platform::SystemCrypto(), kKey);
  ASSERT_EQ(id.size(), 17u);
  EXPECT_TRUE(t.store.Add({id, "2026-12-09 14:05", kKey}));
  const auto value = t.registry.StringAt(RootKey::CurrentUser, browser::kBrowsersKey, id);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->substr(0, 17), "2026-12-09 14:05 ");
  EXPECT_EQ(value->find(HexOf(kKey)), std::string::npos) << "the key in the clear";
  browser::TPairedBrowsers restarted(t.registry, t.protect);
  restarted.Load();
  ASSERT_EQ(restarted.Browsers().size(), 1u);
  EXPECT_EQ(restarted.Find(id)->key, kKey);
  EXPECT_EQ(browser::PairedCaption(restarted.Find(id)->paired_at), "Browser paired 9 Dec 14:05");
  // Forgotten by its own id, as the Devices menu names it.
  EXPECT_TRUE(restarted.Forget(restarted.Browsers()[0].id));
  EXPECT_FALSE(restarted.Find(id));
  EXPECT_FALSE(t.registry.StringAt(RootKey::CurrentUser, browser::kBrowsersKey, id));
}

TEST(BrowserStore, WhatCannotBeUnwrappedIsPassedOverAndARefusedWrapKeepsItForTheRun) {
  StoreFixture t;
  t.store.Add({"b0000000000000001", "2026-12-09 14:05", kKey});
  // The values as another user, a hand edit and a truncation leave them.
  t.registry.SetString(RootKey::CurrentUser, browser::kBrowsersKey, "b0000000000000002",
                       "2026-12-09 14:06 626f627c0102");  // "bob|..."
  t.registry.SetString(RootKey::CurrentUser, browser::kBrowsersKey, "b0000000000000003",
                       "2026-12-09 14:07 zz");
  t.registry.SetString(RootKey::CurrentUser, browser::kBrowsersKey, "b0000000000000004", "2026");
  browser::TPairedBrowsers loaded(t.registry, t.protect);
  loaded.Load();
  ASSERT_EQ(loaded.Browsers().size(), 1u);
  EXPECT_EQ(loaded.Browsers()[0].id, "b0000000000000001");
  EXPECT_EQ(browser::PairedCaption("no time"), "Browser paired");

  t.protect.refuse = true;
  EXPECT_FALSE(loaded.Add({"b0000000000000005", "2026-12-09 14:08", kKey}));
  EXPECT_TRUE(loaded.Find("b0000000000000005")) << "paired for this run all the same";
  EXPECT_FALSE(
      t.registry.StringAt(RootKey::CurrentUser, browser::kBrowsersKey, "b0000000000000005"));
}

TEST(BrowserStore, TheIdNamesTheKeyWithoutGivingItAway) {
  auto& crypto = platform::SystemCrypto();
  const Bytes other(16, 0x33);
  EXPECT_EQ(browser::BrowserIdOf(crypto, kKey), browser::BrowserIdOf(crypto, kKey));
  EXPECT_NE(browser::BrowserIdOf(crypto, kKey), browser::BrowserIdOf(crypto, other));
  EXPECT_EQ(browser::BrowserIdOf(crypto, kKey).find(HexOf(kKey).substr(0, 8)), std::string::npos);
  EXPECT_EQ(browser::PairedAtText({2026, 12, 9, 14, 5, 59}), "2026-12-09 14:05");
}

}  // namespace
