#pragma once
// What "Open.exe" is asked to locate: its one parameter names an application
// by its path-store section with an underscore ("1_4App").
#include <optional>
#include <string>

#include "platform/registry.h"

namespace companions {

struct LocateRequest {
  std::string section;  // the store section, with the hyphen: "1-4App"
  std::string title;    // "Locate Storm"
};

// Nothing for a missing or unknown parameter.
std::optional<LocateRequest> ParseLocateParameter(const std::string& parameter);
// The message for a missing or unknown parameter.
std::string UsageText();
// Writes `path` as the section's "Path" in the host's store file, as the host
// does; false with `error` set (the message naming the file) when it cannot.
bool StoreLocatedPath(platform::IProfile& profile, const std::string& store_file,
                      const LocateRequest& request, const std::string& path, std::string& error);
// The host's store file: the temporary folder followed by "Mirovanta2.Dat".
std::string StoreFileIn(const std::string& temp_path);

}  // namespace companions
