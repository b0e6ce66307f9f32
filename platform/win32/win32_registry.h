#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry final : public IRegistry {
 public:
  RegistryKey OpenKey(RootKey root, const std::string& path, RegistryView view) override;
  std::optional<RegistryValue> QueryValue(RegistryKey key, const std::string& name) override;
  void CloseKey(RegistryKey key) override;
  std::vector<std::pair<std::string, std::string>> ReadStrings(RootKey root,
                                                               const std::string& path) override;
  bool WriteString(RootKey root, const std::string& path, const std::string& name,
                   const std::string& value) override;
  bool DeleteValue(RootKey root, const std::string& path, const std::string& name) override;
};

class Win32Profile final : public IProfile {
 public:
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback, std::size_t size,
                        const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;
  void Flush(const std::string& file) override;
};

}  // namespace platform::win32
