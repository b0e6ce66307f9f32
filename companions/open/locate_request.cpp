#include "companions/open/locate_request.h"

#include "launch/app_tables.h"
#include "launch/ini_file.h"
#include "platform/framework_error.h"

namespace companions {

std::optional<LocateRequest> ParseLocateParameter(const std::string& parameter) {
  // The same tables the host hands its parameters from.
  for (std::uint8_t page = 2; page <= 8; ++page) {
    const launch::PageApp* app = launch::FindPageApp(page);
    if (app != nullptr && parameter == app->open_parameter) {
      return LocateRequest{app->section, std::string("Locate ") + app->name};
    }
  }
  for (std::uint8_t selector = 1; selector <= 4; ++selector) {
    const launch::Utility* utility = launch::FindUtility(selector);
    if (utility != nullptr && parameter == utility->open_parameter) {
      return LocateRequest{utility->section, std::string("Locate ") + utility->name};
    }
  }
  return std::nullopt;
}

std::string UsageText() {
  return "Open.exe locates a program for Mirovanta 2.\n\n"
         "It takes one parameter: 1_2App, 1_3App, 1_4App, 1_5App, 1_6App, 1_7App, 1_8App, "
         "4_1App, 4_2App, 4_3App or 4_4App.";
}

bool StoreLocatedPath(platform::IProfile& profile, const std::string& store_file,
                      const LocateRequest& request, const std::string& path, std::string& error) {
  try {
    launch::TIniFile store(profile, store_file);
    store.WriteString(request.section, "Path", path);
  } catch (const platform::EFrameworkError& failure) {
    error = failure.what();
    return false;
  }
  return true;
}

std::string StoreFileIn(const std::string& temp_path) { return temp_path + "Mirovanta2.Dat"; }

}  // namespace companions
