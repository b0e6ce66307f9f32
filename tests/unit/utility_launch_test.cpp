// The maker's utilities through the media pages.
#include <gtest/gtest.h>

#include "tests/doubles/media_fixture.h"
#include "tests/unit/design_tables.h"

namespace {

using Strings = std::vector<std::string>;
constexpr const char* kProgramFiles = "C:\\Program Files (x86)";

using design::kUtilities;
using design::UtilityRow;

struct UtilityFixture : doubles::MediaFixture {
  UtilityFixture() {
    registry.SetString(platform::RootKey::LocalMachine,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir (x86)",
                       kProgramFiles);
  }
  void Start(std::uint8_t selector) { Launch().Utilities.LaunchUtility(selector); }
};

class EachUtility : public testing::TestWithParam<UtilityRow> {};

TEST_P(EachUtility, EachCandidateInOrderIsFoundStartedElevatedAndStored) {
  const UtilityRow& row = GetParam();
  for (std::size_t only = 0; only < row.candidates.size(); ++only) {
    UtilityFixture t;
    const std::string path = kProgramFiles + row.candidates[only];
    t.system.files.insert(path);
    t.Start(row.selector);
    ASSERT_EQ(t.shell.calls.size(), 1u);
    EXPECT_EQ(t.shell.calls[0].operation, "runas");
    EXPECT_EQ(t.shell.calls[0].file, path);
    EXPECT_EQ(t.shell.calls[0].show, platform::ShowAs::Normal);
    EXPECT_EQ(t.system.calls.back(), "cd " + path.substr(0, path.find_last_of('\\') + 1));
    EXPECT_EQ(t.profile.sections[row.section]["Path"], path);
  }
}

TEST_P(EachUtility, TheFirstCandidateWinsWhenBothExist) {
  const UtilityRow& row = GetParam();
  UtilityFixture t;
  for (const std::string& candidate : row.candidates)
    t.system.files.insert(kProgramFiles + candidate);
  t.Start(row.selector);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, kProgramFiles + row.candidates[0]);
}

TEST_P(EachUtility, NothingFoundHandsTheSectionToOpenExe) {
  const UtilityRow& row = GetParam();
  UtilityFixture t;
  t.Start(row.selector);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].operation, "open");
  EXPECT_EQ(t.shell.calls[0].parameters, row.open_parameter);
  EXPECT_TRUE(t.profile.sections.empty());
  EXPECT_EQ(t.Launch().Store.IniFile, nullptr);
}

TEST_P(EachUtility, AStoredPathWinsAndAStoredPathWithoutFileDoesNothing) {
  const UtilityRow& row = GetParam();
  UtilityFixture t;
  for (const std::string& candidate : row.candidates)
    t.system.files.insert(kProgramFiles + candidate);
  t.profile.sections[row.section]["Path"] = "D:\\Tools\\mine.exe";
  t.Start(row.selector);
  EXPECT_TRUE(t.shell.calls.empty()) << "the candidates are not looked at";
  t.system.files.insert("D:\\Tools\\mine.exe");
  t.system.tick_ms += 2000;  // a later press, not a repeat
  t.Start(row.selector);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, "D:\\Tools\\mine.exe");
  EXPECT_EQ(t.system.current_directory, "D:\\Tools\\");
}

TEST_P(EachUtility, CloseEndsItsFixedNameWhateverTheStoreSays) {
  const UtilityRow& row = GetParam();
  UtilityFixture t;
  t.profile.sections[row.section]["Path"] = "D:\\Tools\\mine.exe";
  t.processes.running = {{1, row.close_name}, {2, "mine.exe"}};
  t.Launch().Utilities.CloseUtility(row.selector);
  EXPECT_EQ(t.processes.terminated, (std::vector<std::uint32_t>{1}));
}

INSTANTIATE_TEST_SUITE_P(Utilities, EachUtility, testing::ValuesIn(kUtilities),
                         [](const testing::TestParamInfo<UtilityRow>& case_info) {
                           return "utility" + std::to_string(case_info.param.selector);
                         });

TEST(Utilities, TheVerbIsOpenWithoutUserAccountControl) {
  UtilityFixture t;
  t.system.version = {5, 1, true};
  t.system.files.insert(std::string(kProgramFiles) + "\\Brisana\\Brisana.exe");
  t.Start(3);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].operation, "open");
}

TEST(Utilities, AnEmptyProgramFilesFolderLeavesTheCandidatesAsTheyStand) {
  doubles::MediaFixture t;
  t.system.files.insert("\\Brisana\\Brisana.exe");
  t.Launch().Utilities.LaunchUtility(3);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, "\\Brisana\\Brisana.exe");
}

TEST(Utilities, ALaterPlayerStartInheritsTheUtilitysFolder) {
  UtilityFixture t;
  t.system.files.insert(std::string(kProgramFiles) + "\\ZANTRIX\\QUELLIN\\QLN.exe");
  t.profile.sections["1-3App"]["Path"] = "C:\\MPC\\mplayerc.exe";
  t.system.files.insert("C:\\MPC\\mplayerc.exe");
  t.Start(2);
  t.Media().MediaPageButton(3, 0x02);
  EXPECT_EQ(t.system.current_directory, std::string(kProgramFiles) + "\\ZANTRIX\\QUELLIN\\");
  EXPECT_EQ(t.shell.calls.back().directory, "") << "the start passes no folder of its own";
}

}  // namespace
