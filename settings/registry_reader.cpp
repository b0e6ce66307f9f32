#include "settings/registry_reader.h"

#include "platform/framework_error.h"

namespace settings {

TRegistry::TRegistry(platform::IRegistry& registry, platform::RegistryView view)
    : registry_(registry), view_(view) {}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
  CloseKey();
  key_ = platform::TRegistryKey(registry_, registry_.OpenKey(RootKey, path, view_));
  return static_cast<bool>(key_);
}

bool TRegistry::ValueExists(const std::string& name) {
  return key_ && registry_.QueryValue(key_.Get(), name).has_value();
}

std::string TRegistry::ReadString(const std::string& name) {
  if (!key_) return "";
  std::optional<platform::RegistryValue> value = registry_.QueryValue(key_.Get(), name);
  if (!value) return "";
  if (value->type == platform::RegistryType::Other) {
    throw platform::EFrameworkError("Invalid data type for '" + name + "'");
  }
  // Stored text may or may not carry its terminator: the text ends at the first zero.
  std::string text = value->data;
  if (std::size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

void TRegistry::CloseKey() { key_.Reset(); }

}  // namespace settings
