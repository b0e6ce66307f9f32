#pragma once
// Doubles of the registry, profile files, system information and processes.
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace doubles {

class FakeRegistry final : public platform::IRegistry {
 public:
  using Path = std::tuple<platform::RootKey, platform::RegistryView, std::string>;
  // values[{root, view, key}][name]
  std::map<Path, std::map<std::string, platform::RegistryValue>> keys;
  int open_keys = 0;
  std::vector<std::string> opened;

  void SetString(platform::RootKey root, const std::string& key, const std::string& name,
                 const std::string& text,
                 platform::RegistryView view = platform::RegistryView::Native,
                 platform::RegistryType type = platform::RegistryType::String) {
    keys[{root, view, key}][name] = {type, text + std::string(1, '\0')};
  }

  platform::RegistryKey OpenKey(platform::RootKey root, const std::string& path,
                                platform::RegistryView view) override {
    opened.push_back(path);
    auto found = keys.find({root, view, path});
    if (found == keys.end()) return 0;
    ++open_keys;
    handles_.push_back(&found->second);
    return static_cast<platform::RegistryKey>(handles_.size());
  }
  std::optional<platform::RegistryValue> QueryValue(platform::RegistryKey key,
                                                    const std::string& name) override {
    auto& values = *handles_.at(static_cast<std::size_t>(key) - 1);
    auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  void CloseKey(platform::RegistryKey) override { --open_keys; }

  bool refuse_writes = false;
  std::vector<std::pair<std::string, std::string>> ReadStrings(platform::RootKey root,
                                                               const std::string& path) override {
    std::vector<std::pair<std::string, std::string>> values;
    auto found = keys.find({root, platform::RegistryView::Native, path});
    if (found == keys.end()) return values;
    for (const auto& [name, value] : found->second) {
      if (value.type == platform::RegistryType::String)
        values.emplace_back(name, value.data.c_str());
    }
    return values;
  }
  bool WriteString(platform::RootKey root, const std::string& path, const std::string& name,
                   const std::string& value) override {
    if (refuse_writes) return false;
    SetString(root, path, name, value);
    return true;
  }
  bool DeleteValue(platform::RootKey root, const std::string& path,
                   const std::string& name) override {
    if (refuse_writes) return false;
    auto found = keys.find({root, platform::RegistryView::Native, path});
    if (found != keys.end()) found->second.erase(name);
    return true;
  }
  // The string value as stored, or nothing.
  std::optional<std::string> StringAt(platform::RootKey root, const std::string& path,
                                      const std::string& name) const {
    auto key = keys.find({root, platform::RegistryView::Native, path});
    if (key == keys.end() || !key->second.count(name)) return std::nullopt;
    return std::string(key->second.at(name).data.c_str());
  }
  // Drops the handles of closed keys (all keys must be closed).
  void ForgetHandles() { handles_.clear(); }

 private:
  std::vector<std::map<std::string, platform::RegistryValue>*> handles_;
};

class FakeProfile final : public platform::IProfile {
 public:
  std::map<std::string, std::map<std::string, std::string>> sections;  // of the one file
  std::string file;
  bool fail_writes = false;
  std::vector<std::string> calls;

  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback, std::size_t size,
                        const std::string& file_name) override {
    calls.push_back("read " + section);
    file = file_name;
    auto s = sections.find(section);
    if (s == sections.end() || !s->second.count(key)) return fallback.substr(0, size - 1);
    return s->second[key].substr(0, size - 1);
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file_name) override {
    calls.push_back("write " + section + " " + value);
    file = file_name;
    if (fail_writes) return false;
    sections[section][key] = value;
    return true;
  }
  void Flush(const std::string& file_name) override { calls.push_back("flush " + file_name); }
};

class FakeSystem final : public platform::ISystem {
 public:
  platform::OsVersion version{10, 0, true};
  std::string temp_path = "C:\\Users\\ann\\AppData\\Local\\Temp\\";
  std::string computer_name = "DESKTOP-ANN";
  std::set<std::string> files;
  std::map<std::string, std::string> environment = {
      {"ProgramFiles", "C:\\Program Files"}, {"LOCALAPPDATA", "C:\\Users\\ann\\AppData\\Local"}};
  std::map<std::string, std::array<std::uint16_t, 4>> versions;
  std::vector<std::string> calls;
  std::string current_directory = "C:\\";

  std::atomic<std::uint64_t> tick_ms{1000000};  // advanced by hand; read by any thread
  std::uint64_t TickCountMs() override { return tick_ms; }
  platform::LocalTime local_now{2026, 12, 8, 16, 5, 1};
  platform::LocalTime LocalNow() override { return local_now; }
  platform::OsVersion Version() override { return version; }
  std::string TempPath(std::size_t) override { return temp_path; }
  std::string ComputerName(std::size_t size) override { return computer_name.substr(0, size - 1); }
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  bool RemoveFile(const std::string& path) override {
    calls.push_back("remove " + path);
    return files.erase(path) > 0;
  }
  bool ChangeDirectory(const std::string& path) override {
    calls.push_back("cd " + path);
    current_directory = path;
    return true;
  }
  // %NAME% references from `environment`; unknown ones stay as they are.
  std::string ExpandEnvironment(const std::string& text) override {
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
      std::size_t end = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
      if (end != std::string::npos && environment.count(text.substr(i + 1, end - i - 1))) {
        result += environment[text.substr(i + 1, end - i - 1)];
        i = end + 1;
      } else {
        result += text[i++];
      }
    }
    return result;
  }
  std::optional<std::array<std::uint16_t, 4>> FileVersion(const std::string& path) override {
    auto found = versions.find(path);
    if (found == versions.end()) return std::nullopt;
    return found->second;
  }
};

}  // namespace doubles
