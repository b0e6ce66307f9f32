#include "launch/path_text.h"

namespace launch {

std::string FileNamePart(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FolderPart(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\:");
  return separator == std::string::npos ? "" : path.substr(0, separator + 1);
}

std::string UpperAZ(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string LowerAZ(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace launch
