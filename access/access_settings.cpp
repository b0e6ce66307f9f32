#include "access/access_settings.h"

#include "settings/on_off_setting.h"

namespace access_policy {

bool ReadAskFirst(platform::IRegistry& registry) {
  return settings::ReadOnOff(registry, kSettingsKey, kAskValue, true);
}

bool WriteAskFirst(platform::IRegistry& registry, bool ask) {
  return settings::WriteOnOff(registry, kSettingsKey, kAskValue, ask);
}

bool ReadBrowsersOnly(platform::IRegistry& registry) {
  return settings::ReadOnOff(registry, kSettingsKey, kBrowsersOnlyValue, false);
}

bool WriteBrowsersOnly(platform::IRegistry& registry, bool only) {
  return settings::WriteOnOff(registry, kSettingsKey, kBrowsersOnlyValue, only);
}

}  // namespace access_policy
