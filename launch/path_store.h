#pragma once
// The application path store: one small INI file in the user's temporary
// folder, opened afresh by every command that needs it.
#include <memory>
#include <string>

#include "settings/ini_file.h"
#include "platform/registry.h"

namespace launch {

using settings::TIniFile;

class TPathStore {
 public:
  explicit TPathStore(platform::IProfile& profile);

  void OpenStore();
  std::string ReadStoredPath(const std::string& section);
  void WriteStoredPath(const std::string& section, const std::string& path);
  void ReleaseStore();

  std::string IniFilePath;
  std::unique_ptr<TIniFile> IniFile;  // only while a command uses the store

 private:
  platform::IProfile& profile_;
};

// Releases the path store when a command leaves, by any way.
class TStoreScope {
 public:
  explicit TStoreScope(TPathStore& store) : store_(store) { store_.OpenStore(); }
  ~TStoreScope() { store_.ReleaseStore(); }
  TStoreScope(const TStoreScope&) = delete;
  TStoreScope& operator=(const TStoreScope&) = delete;

 private:
  TPathStore& store_;
};

}  // namespace launch
