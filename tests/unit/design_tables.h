#pragma once
// The application and utility tables as the design states them, written once:
// the tests hold the host's tables and its behaviour against these rows.
#include <cstdint>
#include <string>
#include <vector>

namespace design {

struct PageRow {
  std::uint8_t page;
  const char* name;
  const char* section;
  const char* key;
  const char* value;
  const char* open_parameter;
  const char* close_name;
};

// Pages 2..8; page 1 is started by a key chord and always closes "ehshell.exe".
// clang-format off: one row per line, as the design's table has them
inline const PageRow kPages[] = {
    {2, "PowerDVD 10", "1-2App",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PowerDVD10", "", "1_2App",
     "PowerDVD10.exe"},
    {3, "Media Player Classic", "1-3App", "SOFTWARE\\Kelvorn\\Media Player Classic", "ExePath",
     "1_3App", "mplayerc.exe"},
    {4, "Storm", "1-4App", "SOFTWARE\\Classes\\Storm\\DefaultIcon", "", "1_4App", "Storm.exe"},
    {5, "PPStream", "1-5App",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PPStream.exe", "", "1_5App",
     "PPStream.exe"},
    {6, "KMPlayer", "1-6App", "SOFTWARE\\Classes\\KMPlayer.kpl\\DefaultIcon", "", "1_6App",
     "KMPlayer.exe"},
    {7, "TTPlayer", "1-7App",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TTPlayer.exe", "", "1_7App",
     "TTPlayer.exe"},
    {8, "Windows Media Player", "1-8App",
     "SOFTWARE\\Clients\\Media\\Windows Media Player\\shell\\open\\command", "", "1_8App",
     "wmplayer.exe"},
};
// clang-format on
inline constexpr const char* kPage1CloseName = "ehshell.exe";

struct UtilityRow {
  std::uint8_t selector;
  const char* name;
  const char* section;
  std::vector<std::string> candidates;
  const char* open_parameter;
  const char* close_name;
};

// clang-format off
inline const UtilityRow kUtilities[] = {
    {1, "Orlemba", "4-1App", {"\\ZANTRIX\\Orlemba\\ORB.exe", "\\ZANTRIX\\Vostrel\\ORB.exe"}, "4_1App", "ORB.exe"},
    {2, "QUELLIN", "4-2App", {"\\ZANTRIX\\QUELLIN\\QLN.exe"}, "4_2App", "QLN.exe"},
    {3, "Brisana", "4-3App", {"\\Brisana\\Brisana.exe"}, "4_3App", "Brisana.exe"},
    {4, "Feyrun", "4-4App", {"\\Nodwell\\FEYR.exe", "\\Feyrun\\Feyrun\\FEYR.exe"}, "4_4App", "FEYR.exe"},
};
// clang-format on

}  // namespace design
