#pragma once
// The fixed tables of the programs the remote can start and close.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace launch {

// A media page's own application (pages 1..8). Page 1's application is
// started by a key chord, so its row only names what a close looks for.
struct PageApp {
  std::uint8_t page;
  const char* name;
  const char* section;         // the path store section; nullptr: the store is never read
  const char* registry_key;    // under HKEY_LOCAL_MACHINE; nullptr: not launched from here
  const char* registry_value;  // "" is the key's default value
  bool remove_quotes;
  const char* open_parameter;  // handed to "Open.exe" when nothing is found
  const char* close_name;      // closed when the store names nothing
  // Closed by asking its top-level windows whose title begins with this text
  // (any letter case) instead of ending the process; nullptr: ended.
  const char* close_window_title;
  // A started file whose version text begins with one of these sets the
  // player version flag; empty: the version is not read.
  std::array<const char*, 2> version_flag_prefixes;
};

// One of the maker's utilities (selectors 1..4).
struct Utility {
  std::uint8_t selector;
  const char* name;
  const char* section;
  std::array<const char*, 2> candidates;  // under the Program Files folder; nullptr: none
  const char* open_parameter;
  const char* close_name;
};

std::span<const PageApp> PageApps();
std::span<const Utility> Utilities();

// Nothing for pages outside 1..8 or selectors outside 1..4.
const PageApp* FindPageApp(std::uint8_t page);
const Utility* FindUtility(std::uint8_t selector);

// The row of a window-closed program whose close name `name` contains (any
// letter case), or nothing: a close by that name asks windows to close
// instead of ending processes.
const PageApp* WindowClosedApp(const std::string& name);

}  // namespace launch
