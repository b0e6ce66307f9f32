#pragma once
// The framework's INI file object over the Windows profile functions.
#include <string>

#include "platform/registry.h"

namespace settings {

class TIniFile {
 public:
  static constexpr std::size_t kReadBuffer = 2048;

  TIniFile(platform::IProfile& profile, std::string file_name);
  // Writes the system's cached copy of the file out.
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  // At most 2047 characters of the value; `fallback` when there is none.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback);
  // Throws "Unable to write to <file>" when the system cannot write it.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  const std::string& FileName() const { return file_name_; }

 private:
  platform::IProfile& profile_;
  std::string file_name_;
};

}  // namespace settings
