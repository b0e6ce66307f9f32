#include "access/access_settings.h"

namespace access_policy {

bool ReadAskFirst(platform::IRegistry& registry) {
  for (const auto& [name, value] :
       registry.ReadStrings(platform::RootKey::CurrentUser, kSettingsKey)) {
    if (name == kAskValue) return value != "0";
  }
  return true;
}

bool WriteAskFirst(platform::IRegistry& registry, bool ask) {
  return registry.WriteString(platform::RootKey::CurrentUser, kSettingsKey, kAskValue,
                              ask ? "1" : "0");
}

}  // namespace access_policy
