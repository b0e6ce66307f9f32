#include "settings/ini_file.h"

#include "platform/framework_error.h"

namespace settings {

TIniFile::TIniFile(platform::IProfile& profile, std::string file_name)
    : profile_(profile), file_name_(std::move(file_name)) {}

TIniFile::~TIniFile() { profile_.Flush(file_name_); }

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) {
  return profile_.GetString(section, key, fallback, kReadBuffer, file_name_);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  if (!profile_.WriteString(section, key, value, file_name_)) {
    throw platform::EFrameworkError("Unable to write to " + file_name_);
  }
}

}  // namespace settings
