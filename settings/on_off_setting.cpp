#include "settings/on_off_setting.h"

namespace settings {

bool ReadOnOff(platform::IRegistry& registry, const std::string& key, const std::string& value,
               bool fallback) {
  for (const auto& [name, text] : registry.ReadStrings(platform::RootKey::CurrentUser, key)) {
    if (name == value) return text != "0";
  }
  return fallback;
}

bool WriteOnOff(platform::IRegistry& registry, const std::string& key, const std::string& value,
                bool on) {
  return registry.WriteString(platform::RootKey::CurrentUser, key, value, on ? "1" : "0");
}

}  // namespace settings
