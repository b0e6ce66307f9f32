#include "launch/app_tables.h"

#include "launch/path_text.h"

namespace launch {
namespace {

// clang-format off
constexpr PageApp kPageApps[] = {
  // page  application           store     registry key (HKLM)                                                  value      quotes Open.exe  close name when nothing is stored  close by window title  version flag
  {1, "Windows Media Center",    nullptr,  nullptr,                                                              nullptr,   false, nullptr,  "ehshell.exe",                     nullptr,               {}},
  {2, "PowerDVD 10",             "1-2App", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PowerDVD10",    "",        false, "1_2App", "PowerDVD10.exe",                  nullptr,               {}},
  {3, "Media Player Classic",    "1-3App", "SOFTWARE\\Kelvorn\\Media Player Classic",                                "ExePath", false, "1_3App", "mplayerc.exe",                    nullptr,               {}},
  {4, "Storm",                   "1-4App", "SOFTWARE\\Classes\\Storm\\DefaultIcon",                                   "",        false, "1_4App", "Storm.exe",                       nullptr,               {}},
  {5, "PPStream",                "1-5App", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PPStream.exe",  "",        false, "1_5App", "PPStream.exe",                    "pps",                 {}},
  {6, "KMPlayer",                "1-6App", "SOFTWARE\\Classes\\KMPlayer.kpl\\DefaultIcon",                            "",        true,  "1_6App", "KMPlayer.exe",                    nullptr,               {}},
  {7, "TTPlayer",                "1-7App", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TTPlayer.exe",  "",        false, "1_7App", "TTPlayer.exe",                    nullptr,               {}},
  {8, "Windows Media Player",    "1-8App", "SOFTWARE\\Clients\\Media\\Windows Media Player\\shell\\open\\command",  "",        false, "1_8App", "wmplayer.exe",                    nullptr,               {"9", "10"}},
};

constexpr Utility kUtilities[] = {
  // selector  name      store     candidate locations, in order                                  Open.exe  close name
  {1, "Orlemba",         "4-1App", {"\\ZANTRIX\\Orlemba\\ORB.exe", "\\ZANTRIX\\Vostrel\\ORB.exe"}, "4_1App", "ORB.exe"},
  {2, "QUELLIN",         "4-2App", {"\\ZANTRIX\\QUELLIN\\QLN.exe", nullptr},                       "4_2App", "QLN.exe"},
  {3, "Brisana",         "4-3App", {"\\Brisana\\Brisana.exe", nullptr},                            "4_3App", "Brisana.exe"},
  {4, "Feyrun",          "4-4App", {"\\Nodwell\\FEYR.exe", "\\Feyrun\\Feyrun\\FEYR.exe"},          "4_4App", "FEYR.exe"},
};
// clang-format on

}  // namespace

std::span<const PageApp> PageApps() { return kPageApps; }
std::span<const Utility> Utilities() { return kUtilities; }

const PageApp* FindPageApp(std::uint8_t page) {
  for (const PageApp& app : kPageApps) {
    if (app.page == page) return &app;
  }
  return nullptr;
}

const Utility* FindUtility(std::uint8_t selector) {
  for (const Utility& utility : kUtilities) {
    if (utility.selector == selector) return &utility;
  }
  return nullptr;
}

const PageApp* WindowClosedApp(const std::string& name) {
  const std::string lower = LowerAZ(name);
  for (const PageApp& app : kPageApps) {
    if (app.close_window_title != nullptr &&
        lower.find(LowerAZ(app.close_name)) != std::string::npos) {
      return &app;
    }
  }
  return nullptr;
}

}  // namespace launch
