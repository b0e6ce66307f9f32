#pragma once
// Registry and profile files family.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

enum class RootKey { LocalMachine, CurrentUser };
// Which registry view a key is opened in on 64-bit Windows.
enum class RegistryView { Native, Wow32 };

// What a value holds: text, text with environment references, or anything else.
enum class RegistryType { String, ExpandString, Other };

struct RegistryValue {
  RegistryType type = RegistryType::Other;
  std::string data;  // the raw bytes as stored
};

using RegistryKey = std::intptr_t;

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens an existing key for reading; 0 when it cannot be opened.
  virtual RegistryKey OpenKey(RootKey root, const std::string& path, RegistryView view) = 0;
  // A value of the open key; nothing when it does not exist.
  virtual std::optional<RegistryValue> QueryValue(RegistryKey key, const std::string& name) = 0;
  virtual void CloseKey(RegistryKey key) = 0;

  // The program's own settings, each call opening and closing its key.
  // Every string value of a key, by name; none when the key does not exist.
  virtual std::vector<std::pair<std::string, std::string>> ReadStrings(RootKey root,
                                                                       const std::string& path) = 0;
  // Writes a string value, creating the key; false when it cannot.
  virtual bool WriteString(RootKey root, const std::string& path, const std::string& name,
                           const std::string& value) = 0;
  // False when the value could not be removed (a value that is not there is removed).
  virtual bool DeleteValue(RootKey root, const std::string& path, const std::string& name) = 0;
};

class IProfile {
 public:
  virtual ~IProfile() = default;
  // GetPrivateProfileStringA: at most size - 1 characters of the value.
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& fallback, std::size_t size,
                                const std::string& file) = 0;
  // WritePrivateProfileStringA; false when it failed.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file) = 0;
  // Writes the system's cached copy of the file out (all arguments NULL but the file).
  virtual void Flush(const std::string& file) = 0;
};

}  // namespace platform
