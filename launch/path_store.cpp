#include "launch/path_store.h"

#include "launch/store_layout.h"

namespace launch {

TPathStore::TPathStore(platform::IProfile& profile) : profile_(profile) {}

void TPathStore::OpenStore() { IniFile = std::make_unique<TIniFile>(profile_, IniFilePath); }

std::string TPathStore::ReadStoredPath(const std::string& section) {
  return IniFile->ReadString(section, kPathKey, "");
}

void TPathStore::WriteStoredPath(const std::string& section, const std::string& path) {
  IniFile->WriteString(section, kPathKey, path);
}

void TPathStore::ReleaseStore() { IniFile.reset(); }

}  // namespace launch
