#pragma once
// Where 32-bit programs are installed: "ProgramFilesDir (x86)" on a 64-bit
// system, else "ProgramFilesDir", from HKEY_LOCAL_MACHINE.
#include <optional>
#include <string>

#include "settings/registry_reader.h"

namespace settings {

// Reads it through `registry`, whose root key the caller has set; the key it
// opens is closed again. Nothing when neither value exists.
std::optional<std::string> ReadProgramFilesDir(TRegistry& registry);

}  // namespace settings
