#include "companions/open/locate_request.h"

#include <vector>

#include "launch/app_tables.h"
#include "settings/ini_file.h"
#include "launch/store_layout.h"
#include "platform/framework_error.h"

namespace companions {

std::optional<LocateRequest> ParseLocateParameter(const std::string& parameter) {
  // The same tables the host hands its parameters from.
  for (const launch::PageApp& app : launch::PageApps()) {
    if (app.open_parameter != nullptr && parameter == app.open_parameter) {
      return LocateRequest{app.section, std::string("Locate ") + app.name};
    }
  }
  for (const launch::Utility& utility : launch::Utilities()) {
    if (parameter == utility.open_parameter) {
      return LocateRequest{utility.section, std::string("Locate ") + utility.name};
    }
  }
  return std::nullopt;
}

std::string UsageText() {
  std::vector<std::string> accepted;
  for (const launch::PageApp& app : launch::PageApps()) {
    if (app.open_parameter != nullptr) accepted.emplace_back(app.open_parameter);
  }
  for (const launch::Utility& utility : launch::Utilities())
    accepted.emplace_back(utility.open_parameter);
  std::string list;
  for (std::size_t i = 0; i < accepted.size(); ++i) {
    list += i == 0 ? "" : (i + 1 == accepted.size() ? " or " : ", ");
    list += accepted[i];
  }
  return "Open.exe locates a program for Mirovanta 2.\n\nIt takes one parameter: " + list + ".";
}

bool StoreLocatedPath(platform::IProfile& profile, const std::string& store_file,
                      const LocateRequest& request, const std::string& path, std::string& error) {
  try {
    settings::TIniFile store(profile, store_file);
    store.WriteString(request.section, launch::kPathKey, path);
  } catch (const platform::EFrameworkError& failure) {
    error = failure.what();
    return false;
  }
  return true;
}

std::string StoreFileIn(const std::string& temp_path) { return temp_path + launch::kStoreFileName; }

}  // namespace companions
