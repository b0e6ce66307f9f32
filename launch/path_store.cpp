// The application path store: one small INI file in the user's temporary
// folder, opened afresh by every command that needs it.
#include "shell/form1.h"

namespace shell {

namespace {
constexpr const char* kPathKey = "Path";
}

void TForm1::OpenStore() { IniFile = std::make_unique<launch::TIniFile>(platform_.profile, IniFilePath); }

std::string TForm1::ReadStoredPath(const std::string& section) {
  return IniFile->ReadString(section, kPathKey, "");
}

void TForm1::WriteStoredPath(const std::string& section, const std::string& path) {
  IniFile->WriteString(section, kPathKey, path);
}

void TForm1::ReleaseStore() { IniFile.reset(); }

}  // namespace shell
