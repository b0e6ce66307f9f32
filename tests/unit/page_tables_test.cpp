// The remotes' table the build writes for the page: each player's remote
// holds exactly the cells of its page's column of the key map that do
// something, named by the launch tables, and the page's keys in their order.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "browser/page_keys.h"
#include "launch/app_tables.h"
#include "media/key_map.h"

namespace {

std::string Table() {
  std::ifstream file(MIROVANTA_REMOTES_JSON, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The part of the table that belongs to `page`'s player.
std::string PlayerPart(const std::string& table, int page) {
  const std::size_t start = table.find("{\"page\":" + std::to_string(page) + ",");
  if (start == std::string::npos) return "";
  return table.substr(start, table.find("]}", start) - start);
}

TEST(PageTables, EachPlayersRemoteIsItsColumnOfTheKeyMap) {
  const std::string table = Table();
  ASSERT_FALSE(table.empty()) << MIROVANTA_REMOTES_JSON;
  for (const launch::PageApp& app : launch::PageApps()) {
    const std::string part = PlayerPart(table, app.page);
    ASSERT_NE(part.find("\"name\":\"" + std::string(app.name) + "\""), std::string::npos)
        << app.name;
    for (int code = 0; code <= 0xFF; ++code) {
      const bool does = media::LookUpButton(app.page, static_cast<std::uint8_t>(code)).kind !=
                        media::ActionKind::Nothing;
      const bool shown = part.find("[" + std::to_string(code) + ",\"") != std::string::npos;
      EXPECT_EQ(shown, does) << app.name << " code " << code;
    }
  }
  EXPECT_NE(PlayerPart(table, 1).find("[32,\"Play\",\"Ctrl+Shift+P\"]"), std::string::npos);
  EXPECT_NE(PlayerPart(table, 8).find("[48,\"Mute\",\"F8 (player 9 or 10) or F7\"]"),
            std::string::npos);
  EXPECT_NE(PlayerPart(table, 4).find("[2,\"Start\",\"starts Storm\"]"), std::string::npos);
}

TEST(PageTables, TheUtilitiesAndThePagesKeysAreTheHostsInTheirOrder) {
  const std::string table = Table();
  std::size_t at = table.find("\"utilities\":[");
  for (const launch::Utility& utility : launch::Utilities()) {
    const std::string entry =
        "{\"selector\":" + std::to_string(utility.selector) + ",\"name\":\"" + utility.name + "\"}";
    at = table.find(entry, at);
    ASSERT_NE(at, std::string::npos) << entry;
  }
  at = table.find("\"keys\":[");
  for (const browser::PageKey& key : browser::PageKeys()) {
    at = table.find("[\"" + std::string(key.name) + "\",", at);
    ASSERT_NE(at, std::string::npos) << key.name << ": the page's number is its place";
  }
}

}  // namespace
