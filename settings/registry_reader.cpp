#include "settings/registry_reader.h"

#include "platform/framework_error.h"

namespace settings {

TRegistry::TRegistry(platform::IRegistry& registry, platform::RegistryView view)
    : registry_(registry), view_(view) {}

TRegistry::~TRegistry() { CloseKey(); }

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
  CloseKey();
  key_ = registry_.OpenKey(RootKey, path, view_);
  return key_ != 0;
}

bool TRegistry::ValueExists(const std::string& name) {
  return key_ != 0 && registry_.QueryValue(key_, name).has_value();
}

std::string TRegistry::ReadString(const std::string& name) {
  if (key_ == 0) return "";
  std::optional<platform::RegistryValue> value = registry_.QueryValue(key_, name);
  if (!value) return "";
  if (value->type != platform::kRegString && value->type != platform::kRegExpandString) {
    throw platform::EFrameworkError("Invalid data type for '" + name + "'");
  }
  // Stored text may or may not carry its terminator: the text ends at the first zero.
  std::string text = value->data;
  if (std::size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

void TRegistry::CloseKey() {
  if (key_ != 0) registry_.CloseKey(key_);
  key_ = 0;
}

}  // namespace settings
