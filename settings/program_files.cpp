#include "settings/program_files.h"

namespace settings {

std::optional<std::string> ReadProgramFilesDir(TRegistry& registry) {
  std::optional<std::string> folder;
  registry.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  for (const char* name : {"ProgramFilesDir (x86)", "ProgramFilesDir"}) {
    if (registry.ValueExists(name)) {
      folder = registry.ReadString(name);
      break;
    }
  }
  registry.CloseKey();
  return folder;
}

}  // namespace settings
