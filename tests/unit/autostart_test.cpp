// "Run with windows start": the check mark and the shortcut files.
#include <gtest/gtest.h>

#include "tests/doubles/form_fixture.h"

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kCommon = "C:\\ProgramData\\Startup\\Mirovanta 2.lnk";
const std::string kUser = "C:\\Users\\ann\\Startup\\Mirovanta 2.lnk";

struct AutostartFixture : doubles::FormFixture {
  AutostartFixture() {
    registry.SetString(platform::RootKey::LocalMachine, kShellFolders, "Common Startup",
                       "C:\\ProgramData\\Startup");
    registry.SetString(platform::RootKey::CurrentUser, kShellFolders, "Startup",
                       "C:\\Users\\ann\\Startup");
  }
  // The menu flips the mark, then the handler runs.
  void Click() {
    Form().Autostart.StartRun1.Checked = !Form().Autostart.StartRun1.Checked;
    Form().Autostart.StartRun1Click();
  }
};

struct UncheckCase {
  bool common, user;
  bool common_after, user_after;
};

TEST(Autostart, UncheckingRemovesOneShortcutTheAllUsersOneFirst) {
  for (const UncheckCase& c :
       {UncheckCase{true, false, false, false}, UncheckCase{false, true, false, false},
        UncheckCase{true, true, false, true}, UncheckCase{false, false, false, false}}) {
    AutostartFixture t;
    if (c.common) t.system.files.insert(kCommon);
    if (c.user) t.system.files.insert(kUser);
    t.Create();
    t.Form().Autostart.StartRun1.Checked = true;  // on before the click (files may have gone since)
    t.Click();
    EXPECT_FALSE(t.Form().Autostart.StartRun1.Checked);
    EXPECT_EQ(t.system.files.count(kCommon) == 1, c.common_after);
    EXPECT_EQ(t.system.files.count(kUser) == 1, c.user_after);
    EXPECT_TRUE(t.links.saves.empty());
  }
}

TEST(Autostart, CheckingWritesTheAllUsersShortcutToTheRunningExe) {
  AutostartFixture t;
  t.Create();
  ASSERT_FALSE(t.Form().Autostart.StartRun1.Checked);
  t.Click();
  EXPECT_EQ(t.links.saves, (std::vector<std::string>{kCommon}));
  EXPECT_EQ(t.links.target, "C:\\Program Files\\Mirovanta 2\\Mirovanta2.exe");
  EXPECT_EQ(t.links.description, "Mirovanta 2");
  EXPECT_TRUE(t.Form().Autostart.StartRun1.Checked);
}

TEST(Autostart, AnUnwritableAllUsersFolderSendsTheShortcutToTheUsersFolder) {
  AutostartFixture t;
  t.links.unwritable = {kCommon};
  t.Create();
  t.Click();
  EXPECT_EQ(t.links.saves, (std::vector<std::string>{kCommon, kUser}));
  EXPECT_TRUE(t.system.files.count(kUser));
  EXPECT_TRUE(t.Form().Autostart.StartRun1.Checked);
}

TEST(Autostart, NoShortcutAnywhereTurnsTheMarkOffAgain) {
  struct Case {
    bool com_fails, no_persist, unwritable;
    std::size_t saves;
  };
  for (const Case& c :
       {Case{true, false, false, 0}, Case{false, true, false, 1}, Case{false, false, true, 2}}) {
    AutostartFixture t;
    t.links.com_fails = c.com_fails;
    t.links.no_persist_file = c.no_persist;
    if (c.unwritable) t.links.unwritable = {kCommon, kUser};
    t.Create();
    t.Click();
    EXPECT_FALSE(t.Form().Autostart.StartRun1.Checked);
    EXPECT_EQ(t.links.saves.size(), c.saves) << "a link without IPersistFile is not tried twice";
  }
}

}  // namespace
