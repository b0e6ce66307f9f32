#pragma once
// Small text rules on Windows paths and names.
#include <string>

namespace launch {

// The text after the last backslash or colon.
std::string FileNamePart(const std::string& path);
// The text up to and including the last backslash or colon.
std::string FolderPart(const std::string& path);
// Only the letters a to z change.
std::string UpperAZ(std::string text);
std::string LowerAZ(std::string text);

}  // namespace launch
