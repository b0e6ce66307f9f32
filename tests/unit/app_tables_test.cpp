// The host's application and utility tables, held against the design's rows.
#include <gtest/gtest.h>

#include <string>

#include "launch/app_tables.h"
#include "tests/unit/design_tables.h"

namespace {

std::string Text(const char* text) { return text == nullptr ? "(none)" : text; }

TEST(AppTables, EveryPageRowIsTheDesignsRow) {
  for (const design::PageRow& row : design::kPages) {
    const launch::PageApp* app = launch::FindPageApp(row.page);
    ASSERT_NE(app, nullptr) << int{row.page};
    EXPECT_EQ(Text(app->name), row.name);
    EXPECT_EQ(Text(app->section), row.section);
    EXPECT_EQ(Text(app->registry_key), row.key);
    EXPECT_EQ(Text(app->registry_value), row.value);
    EXPECT_EQ(Text(app->open_parameter), row.open_parameter);
    EXPECT_EQ(Text(app->close_name), row.close_name);
    EXPECT_EQ(app->remove_quotes, row.page == 6) << "only page 6's value carries quotes";
  }
  EXPECT_EQ(launch::PageApps().size(), std::size(design::kPages) + 1);
}

TEST(AppTables, PageOneOnlyClosesMediaCenterWithoutTheStore) {
  const launch::PageApp* app = launch::FindPageApp(1);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(Text(app->close_name), design::kPage1CloseName);
  EXPECT_EQ(app->section, nullptr) << "the store is never read for page 1";
  EXPECT_EQ(app->registry_key, nullptr) << "page 1 is not launched from the table";
  EXPECT_EQ(app->open_parameter, nullptr);
}

TEST(AppTables, OnlyPageEightReadsThePlayersVersionForNineAndTen) {
  for (const launch::PageApp& app : launch::PageApps()) {
    if (app.page == 8) {
      EXPECT_EQ(Text(app.version_flag_prefixes[0]), "9");
      EXPECT_EQ(Text(app.version_flag_prefixes[1]), "10");
    } else {
      EXPECT_EQ(app.version_flag_prefixes[0], nullptr) << int{app.page};
    }
  }
}

TEST(AppTables, OnlyPPStreamIsClosedThroughItsWindowsTitledPps) {
  for (const launch::PageApp& app : launch::PageApps()) {
    EXPECT_EQ(Text(app.close_window_title), app.page == 5 ? "pps" : "(none)") << int{app.page};
  }
  // The requested name decides, in any letter case and inside a longer name.
  for (const char* name : {"PPStream.exe", "ppstream.exe", "MyPPSTREAM.EXE"}) {
    const launch::PageApp* app = launch::WindowClosedApp(name);
    ASSERT_NE(app, nullptr) << name;
    EXPECT_EQ(app->page, 5);
  }
  for (const char* name : {"PPStream", "mplayerc.exe", "ehshell.exe", ""}) {
    EXPECT_EQ(launch::WindowClosedApp(name), nullptr) << name;
  }
}

TEST(AppTables, EveryUtilityRowIsTheDesignsRow) {
  ASSERT_EQ(launch::Utilities().size(), std::size(design::kUtilities));
  for (const design::UtilityRow& row : design::kUtilities) {
    const launch::Utility* utility = launch::FindUtility(row.selector);
    ASSERT_NE(utility, nullptr) << int{row.selector};
    EXPECT_EQ(Text(utility->name), row.name);
    EXPECT_EQ(Text(utility->section), row.section);
    std::vector<std::string> candidates;
    for (const char* candidate : utility->candidates) {
      if (candidate != nullptr) candidates.emplace_back(candidate);
    }
    EXPECT_EQ(candidates, row.candidates);
    EXPECT_EQ(Text(utility->open_parameter), row.open_parameter);
    EXPECT_EQ(Text(utility->close_name), row.close_name);
  }
  EXPECT_EQ(launch::FindUtility(0), nullptr);
  EXPECT_EQ(launch::FindUtility(5), nullptr);
  EXPECT_EQ(launch::FindPageApp(0), nullptr);
  EXPECT_EQ(launch::FindPageApp(9), nullptr);
}

}  // namespace
