#pragma once
// The access policy's own settings under HKEY_CURRENT_USER: whether a new
// device is asked about first, and whether only paired browsers may drive
// this PC (the installer's /BROWSERONLY=1 writes it too). The allow-list
// keeps its devices beside them.
#include "platform/registry.h"
#include "settings/on_off_setting.h"

namespace access_policy {

using settings::kSettingsKey;
inline constexpr const char* kDevicesKey = "Software\\Mirovanta 2\\Devices";
inline constexpr const char* kAskValue = "AskBeforeNewDevice";
inline constexpr const char* kBrowsersOnlyValue = "OnlyPairedBrowsers";

// On unless the user turned it off; a setting that cannot be read counts as on.
bool ReadAskFirst(platform::IRegistry& registry);
// False when the registry refused it.
bool WriteAskFirst(platform::IRegistry& registry, bool ask);
// Off unless the user turned it on; a setting that cannot be read counts as off.
bool ReadBrowsersOnly(platform::IRegistry& registry);
bool WriteBrowsersOnly(platform::IRegistry& registry, bool only);

}  // namespace access_policy
