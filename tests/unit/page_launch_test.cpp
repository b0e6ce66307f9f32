// Launching and closing the media pages' applications, through the media pages, over
// doubles of the registry, profile, file, shell and process services.
#include <gtest/gtest.h>

#include "platform/framework_error.h"
#include "tests/doubles/media_fixture.h"
#include "tests/unit/design_tables.h"

namespace {

using platform::RegistryView;
using platform::RootKey;
using Strings = std::vector<std::string>;

constexpr const char* kStore = "C:\\Users\\ann\\AppData\\Local\\Temp\\Mirovanta2.Dat";

using design::kPages;
using design::PageRow;

class EachPage : public testing::TestWithParam<PageRow> {};

TEST_P(EachPage, AStoredPathIsStartedAndWrittenBackWithoutTheRegistry) {
  doubles::MediaFixture t;
  const PageRow& row = GetParam();
  t.profile.sections[row.section]["Path"] = "D:\\Players\\app.exe";
  t.system.files.insert("D:\\Players\\app.exe");
  t.Create();
  t.registry.opened.clear();  // the start-up's own reads
  t.Media().MediaPageButton(row.page, 0x02);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].operation, "open");
  EXPECT_EQ(t.shell.calls[0].file, "D:\\Players\\app.exe");
  EXPECT_EQ(t.shell.calls[0].parameters, "");
  EXPECT_EQ(t.shell.calls[0].show, platform::ShowAs::Normal);
  EXPECT_EQ(t.profile.calls, (Strings{std::string("read ") + row.section,
                                      std::string("write ") + row.section + " D:\\Players\\app.exe",
                                      std::string("flush ") + kStore}));
  EXPECT_TRUE(t.registry.opened.empty());
  EXPECT_EQ(t.Launch().Store.IniFile, nullptr);
}

TEST_P(EachPage, AStoredPathWhoseFileIsGoneIsFinal) {
  doubles::MediaFixture t;
  const PageRow& row = GetParam();
  t.profile.sections[row.section]["Path"] = "D:\\Gone\\app.exe";
  t.registry.SetString(RootKey::LocalMachine, row.key, row.value, "C:\\Found\\app.exe",
                       RegistryView::Wow32);
  t.system.files.insert("C:\\Found\\app.exe");
  t.Create();
  t.registry.opened.clear();
  t.Media().MediaPageButton(row.page, 0x02);
  EXPECT_TRUE(t.shell.calls.empty()) << "no start, and no Open.exe either";
  EXPECT_TRUE(t.registry.opened.empty());
  EXPECT_EQ(t.profile.sections[row.section]["Path"], "D:\\Gone\\app.exe");
}

TEST_P(EachPage, TheRegistryValueIsFoundStartedAndStored) {
  doubles::MediaFixture t;
  const PageRow& row = GetParam();
  t.registry.SetString(RootKey::LocalMachine, row.key, row.value, "C:\\Found\\app.exe",
                       RegistryView::Wow32);
  t.system.files.insert("C:\\Found\\app.exe");
  t.Media().MediaPageButton(row.page, 0x02);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, "C:\\Found\\app.exe");
  EXPECT_EQ(t.profile.sections[row.section]["Path"], "C:\\Found\\app.exe");
  EXPECT_EQ(t.registry.open_keys, 0) << "every key is closed again";
}

TEST_P(EachPage, NothingFoundHandsTheSectionToOpenExeAndWritesNothing) {
  doubles::MediaFixture t;
  const PageRow& row = GetParam();
  t.Media().MediaPageButton(row.page, 0x02);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, "C:\\Program Files\\Mirovanta 2\\Open.exe");
  EXPECT_EQ(t.shell.calls[0].parameters, row.open_parameter);
  EXPECT_EQ(t.shell.calls[0].operation, "open");
  EXPECT_TRUE(t.profile.sections.empty());
  EXPECT_EQ(t.profile.calls.back(), std::string("flush ") + kStore);
  EXPECT_EQ(t.Launch().Store.IniFile, nullptr);
}

TEST_P(EachPage, CloseTakesTheStoredFileNameOrTheDefault) {
  doubles::MediaFixture t;
  const PageRow& row = GetParam();
  t.processes.running = {{11, row.close_name}, {12, "other.exe"}, {13, "renamed.exe"}};
  t.Media().MediaPageButton(row.page, 0xFF);
  t.profile.sections[row.section]["Path"] = "E:\\x:renamed.exe";
  t.system.tick_ms += 2000;  // a later press, not a repeat
  t.Media().MediaPageButton(row.page, 0xFF);
  if (row.page == 5) {
    EXPECT_TRUE(t.processes.terminated == std::vector<std::uint32_t>{13})
        << "the default PPStream name goes the window way; a stored other name is terminated";
  } else {
    EXPECT_EQ(t.processes.terminated, (std::vector<std::uint32_t>{11, 13}));
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, EachPage, testing::ValuesIn(kPages),
                         [](const testing::TestParamInfo<PageRow>& case_info) {
                           return "page" + std::to_string(case_info.param.page);
                         });

struct CleanUpCase {
  const char* name;
  std::uint8_t page;
  const char* value;
  const char* launched;  // nullptr: nothing starts
};

class RegistryCleanUp : public testing::TestWithParam<CleanUpCase> {};

TEST_P(RegistryCleanUp, CutsTheCommaAndPageSixsQuotesOnly) {
  doubles::MediaFixture t;
  const CleanUpCase& c = GetParam();
  const PageRow& row = kPages[c.page - 2];
  t.registry.SetString(RootKey::LocalMachine, row.key, row.value, c.value, RegistryView::Wow32);
  t.system.files = {"C:\\Program Files\\Storm\\Storm.exe",
                    "C:\\Program Files\\KMPlayer\\KMPlayer.exe",
                    "C:\\Program Files\\MPC\\mplayerc.exe"};
  t.Media().MediaPageButton(c.page, 0x02);
  if (c.launched == nullptr) {
    EXPECT_TRUE(t.shell.calls.empty());
    EXPECT_TRUE(t.profile.sections.empty());
  } else {
    ASSERT_EQ(t.shell.calls.size(), 1u);
    EXPECT_EQ(t.shell.calls[0].file, c.launched);
    EXPECT_EQ(t.profile.sections[row.section]["Path"], c.launched);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryCleanUp,
    testing::Values(
        CleanUpCase{"icon_index_cut", 4, "C:\\Program Files\\Storm\\Storm.exe,0",
                    "C:\\Program Files\\Storm\\Storm.exe"},
        CleanUpCase{"quotes_removed_on_page_6", 6,
                    "\"C:\\Program Files\\KMPlayer\\KMPlayer.exe\",1",
                    "C:\\Program Files\\KMPlayer\\KMPlayer.exe"},
        CleanUpCase{"quotes_stay_elsewhere", 4, "\"C:\\Program Files\\Storm\\Storm.exe\"", nullptr},
        CleanUpCase{"arguments_stay", 8,
                    "\"C:\\Program Files\\Windows Media Player\\wmplayer.exe\" /prefetch:1",
                    nullptr},
        CleanUpCase{"environment_expanded", 3, "%ProgramFiles%\\MPC\\mplayerc.exe",
                    "C:\\Program Files\\MPC\\mplayerc.exe"}),
    [](const testing::TestParamInfo<CleanUpCase>& case_info) {
      return std::string(case_info.param.name);
    });

TEST(Discovery, FallsBackToTheNativeRegistryView) {
  doubles::MediaFixture t;
  t.registry.SetString(RootKey::LocalMachine, kPages[0].key, "", "C:\\PDVD\\PowerDVD10.exe",
                       RegistryView::Native);
  t.system.files.insert("C:\\PDVD\\PowerDVD10.exe");
  t.Media().MediaPageButton(2, 0x02);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, "C:\\PDVD\\PowerDVD10.exe");
}

TEST(Discovery, AnExpansionTooLongForItsBufferNamesNothing) {
  doubles::MediaFixture t;
  t.system.environment["LONG"] = std::string(300, 'a');
  t.registry.SetString(RootKey::LocalMachine, kPages[1].key, "ExePath", "%LONG%\\mplayerc.exe",
                       RegistryView::Wow32);
  t.Media().MediaPageButton(3, 0x02);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].parameters, "1_3App");
}

TEST(Discovery, AValueThatIsNotTextEndsTheCommandWithTheRegistryError) {
  doubles::MediaFixture t;
  t.registry.SetString(RootKey::LocalMachine, kPages[1].key, "ExePath", "xx", RegistryView::Wow32,
                       platform::RegistryType::Other /* a number */);
  try {
    t.Media().MediaPageButton(3, 0x02);
    FAIL() << "no error";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'ExePath'");
  }
  EXPECT_TRUE(t.shell.calls.empty());
  EXPECT_EQ(t.registry.open_keys, 0);
  EXPECT_EQ(t.Launch().Pages.Registry, nullptr);
  EXPECT_EQ(t.Launch().Store.IniFile, nullptr);
}

TEST(WriteBack, AFailedWriteEndsTheCommandAfterTheStartAndSkipsTheVersionCheck) {
  doubles::MediaFixture t;
  t.profile.fail_writes = true;
  t.profile.sections["1-8App"]["Path"] = "C:\\WMP\\wmplayer.exe";
  t.system.files.insert("C:\\WMP\\wmplayer.exe");
  t.system.versions["C:\\WMP\\wmplayer.exe"] = {10, 0, 0, 3646};
  try {
    t.Media().MediaPageButton(8, 0x02);
    FAIL() << "no error";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_EQ(std::string(error.what()), std::string("Unable to write to ") + kStore);
  }
  EXPECT_EQ(t.shell.calls.size(), 1u) << "the start is not undone";
  EXPECT_FALSE(t.Launch().Pages.IsWmp9or10);
  EXPECT_EQ(t.Launch().Store.IniFile, nullptr);
}

TEST(PlayerVersion, NineAndTenSetTheFlagForGoodOthersLeaveIt) {
  struct Case {
    std::array<std::uint16_t, 4> version;
    bool sets;
  };
  const Case cases[] = {{{9, 0, 0, 4503}, true},
                        {{10, 0, 0, 3646}, true},
                        {{11, 0, 5721, 5145}, false},
                        {{12, 0, 7601, 17514}, false}};
  for (const Case& c : cases) {
    doubles::MediaFixture t;
    t.profile.sections["1-8App"]["Path"] = "C:\\WMP\\wmplayer.exe";
    t.system.files.insert("C:\\WMP\\wmplayer.exe");
    t.system.versions["C:\\WMP\\wmplayer.exe"] = c.version;
    t.Media().MediaPageButton(8, 0x02);
    EXPECT_EQ(t.Launch().Pages.IsWmp9or10, c.sets) << c.version[0];
    if (c.sets) {
      t.system.versions["C:\\WMP\\wmplayer.exe"] = {12, 0, 0, 1};
      t.Media().MediaPageButton(8, 0x02);
      EXPECT_TRUE(t.Launch().Pages.IsWmp9or10) << "never cleared";
    }
  }
  doubles::MediaFixture t;
  t.profile.sections["1-3App"]["Path"] = "C:\\MPC\\mplayerc.exe";
  t.system.files.insert("C:\\MPC\\mplayerc.exe");
  t.system.versions["C:\\MPC\\mplayerc.exe"] = {10, 0, 0, 1};
  t.Media().MediaPageButton(3, 0x02);
  EXPECT_FALSE(t.Launch().Pages.IsWmp9or10) << "only page 8 looks at the version";
}

TEST(FileVersionText, JoinsTheFourNumbersOrIsEmpty) {
  doubles::MediaFixture t;
  t.system.versions["a.exe"] = {10, 0, 0, 3646};
  EXPECT_EQ(t.Launch().Pages.FileVersionText("a.exe"), "10.0.0.3646");
  EXPECT_EQ(t.Launch().Pages.FileVersionText("none.exe"), "");
}

TEST(Close, PageOneAlwaysClosesMediaCenter) {
  doubles::MediaFixture t;
  t.processes.running = {{5, "EHSHELL.EXE"}, {6, "ehshell.exe"}, {7, "ehshell.exe.bak"}};
  t.Media().MediaPageButton(1, 0xFF);
  EXPECT_EQ(t.processes.terminated, (std::vector<std::uint32_t>{5, 6}));
  EXPECT_TRUE(t.profile.calls.empty()) << "the store is not read for page 1";
}

TEST(Close, MatchingIgnoresOnlyTheCaseOfAToZ) {
  doubles::MediaFixture t;
  t.profile.sections["1-3App"]["Path"] = "D:\\Apps\\mplayerc.exe";
  t.processes.running = {
      {1, "MPlayerC.exe"}, {2, "C:\\x\\mplayerc.exe"}, {3, "mplayerc.exe2"}, {4, "mplayerc.exe"}};
  t.processes.refuse_terminate = {1};
  EXPECT_TRUE(t.Launch().Closer.CloseProcessByName("mplayerc.exe"));
  t.Media().MediaPageButton(3, 0xFF);
  EXPECT_EQ(t.processes.terminated, (std::vector<std::uint32_t>{2, 4, 2, 4}))
      << "one refusal does not stop the others";
  EXPECT_NE(std::find(t.processes.calls.begin(), t.processes.calls.end(), "Terminate 4 0"),
            t.processes.calls.end());
}

TEST(Close, ResultIsWhetherTheLastMatchWasHandled) {
  doubles::MediaFixture t;
  t.processes.running = {{1, "a.exe"}, {2, "a.exe"}};
  t.processes.refuse_terminate = {2};
  EXPECT_FALSE(t.Launch().Closer.CloseProcessByName("a.exe"));
  EXPECT_FALSE(t.Launch().Closer.CloseProcessByName("b.exe"));
  t.processes.snapshot_fails = true;
  EXPECT_FALSE(t.Launch().Closer.CloseProcessByName("a.exe"));
}

TEST(Close, PPStreamWindowsTitledPpsAreAskedToCloseWithATimeout) {
  doubles::MediaFixture t;
  t.processes.running = {{40, "PPStream.exe"}, {41, "notepad.exe"}};
  t.windows.top_windows = {{100, 40, "PPS player"},
                           {101, 40, "Settings"},
                           {102, 41, "pps note"},
                           {103, 40, "pPsx"},
                           {104, 40, "ps"}};
  t.Media().MediaPageButton(5, 0xFF);
  EXPECT_TRUE(t.processes.terminated.empty());
  EXPECT_EQ(t.windows.closed, (std::vector<platform::WindowHandle>{100, 103}));
  EXPECT_EQ(t.windows.calls.front(), "SendCloseWithTimeout 100 5000");
}

}  // namespace
