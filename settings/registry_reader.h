#pragma once
// The framework's registry accessor, read-only: a root key, one open key at a
// time, and its string values.
#include <string>

#include "platform/owners.h"
#include "platform/registry.h"

namespace settings {

class TRegistry {
 public:
  explicit TRegistry(platform::IRegistry& registry,
                     platform::RegistryView view = platform::RegistryView::Native);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  platform::RootKey RootKey = platform::RootKey::CurrentUser;

  // Opens an existing key (never creates one); false when it cannot be opened.
  bool OpenKeyReadOnly(const std::string& path);
  bool ValueExists(const std::string& name);
  // The text of a REG_SZ or REG_EXPAND_SZ value, empty when it is missing;
  // throws "Invalid data type for '<name>'" for a value of any other type.
  std::string ReadString(const std::string& name);
  void CloseKey();

 private:
  platform::IRegistry& registry_;
  platform::RegistryView view_;
  platform::TRegistryKey key_;
};

}  // namespace settings
