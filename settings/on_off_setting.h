#pragma once
// A check item's setting under HKEY_CURRENT_USER: a string value "1" or "0".
#include <string>

#include "platform/registry.h"

namespace settings {

// Where the program keeps its own settings under HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "Software\\Mirovanta 2";

// The stored choice; `fallback` when it is not there or cannot be read.
bool ReadOnOff(platform::IRegistry& registry, const std::string& key, const std::string& value,
               bool fallback);
// False when the registry refused it.
bool WriteOnOff(platform::IRegistry& registry, const std::string& key, const std::string& value,
                bool on);

}  // namespace settings
