#pragma once
// The fixed tables of the programs the remote can start and close.
#include <array>
#include <cstdint>

namespace launch {

// A media page's own application (pages 2..8; page 1 has no row).
struct PageApp {
  std::uint8_t page;
  const char* name;
  const char* section;         // the path store section
  const char* registry_key;    // under HKEY_LOCAL_MACHINE
  const char* registry_value;  // "" is the key's default value
  bool remove_quotes;
  const char* open_parameter;  // handed to "Open.exe" when nothing is found
  const char* close_name;      // closed when the store names nothing
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

inline constexpr const char* kMediaCenterCloseName = "ehshell.exe";

// Nothing for page 1 or pages outside 2..8.
const PageApp* FindPageApp(std::uint8_t page);
const Utility* FindUtility(std::uint8_t selector);

}  // namespace launch
