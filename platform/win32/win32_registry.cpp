#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {

RegistryKey Win32Registry::OpenKey(RootKey root, const std::string& path, RegistryView view) {
  HKEY base = root == RootKey::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  REGSAM access = KEY_READ | (view == RegistryView::Wow32 ? KEY_WOW64_32KEY : 0);
  HKEY key = nullptr;
  if (RegOpenKeyExA(base, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return 0;
  return reinterpret_cast<RegistryKey>(key);
}

std::optional<RegistryValue> Win32Registry::QueryValue(RegistryKey key, const std::string& name) {
  HKEY handle = reinterpret_cast<HKEY>(key);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(handle, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<char> data(size + 1, 0);
  if (RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const RegistryType kind = type == REG_SZ          ? RegistryType::String
                            : type == REG_EXPAND_SZ ? RegistryType::ExpandString
                                                    : RegistryType::Other;
  return RegistryValue{kind, std::string(data.data(), size)};
}

void Win32Registry::CloseKey(RegistryKey key) { RegCloseKey(reinterpret_cast<HKEY>(key)); }

namespace {

HKEY Base(RootKey root) {
  return root == RootKey::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> Win32Registry::ReadStrings(
    RootKey root, const std::string& path) {
  std::vector<std::pair<std::string, std::string>> values;
  UniqueRegistryKey key;
  if (RegOpenKeyExA(Base(root), path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
    return values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD name_size = sizeof name;
    DWORD type = 0;
    BYTE data[1024];
    DWORD data_size = sizeof data - 1;
    const LONG status =
        RegEnumValueA(key.get(), index, name, &name_size, nullptr, &type, data, &data_size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    // A value too long for these buffers is none of ours: passed over.
    if (status != ERROR_SUCCESS || type != REG_SZ) continue;
    data[data_size] = 0;
    values.emplace_back(std::string(name, name_size), reinterpret_cast<const char*>(data));
  }
  return values;
}

bool Win32Registry::WriteString(RootKey root, const std::string& path, const std::string& name,
                                const std::string& value) {
  UniqueRegistryKey key;
  if (RegCreateKeyExA(Base(root), path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RootKey root, const std::string& path, const std::string& name) {
  UniqueRegistryKey key;
  const LONG opened = RegOpenKeyExA(Base(root), path.c_str(), 0, KEY_SET_VALUE, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  const LONG status = RegDeleteValueA(key.get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string Win32Profile::GetString(const std::string& section, const std::string& key,
                                    const std::string& fallback, std::size_t size,
                                    const std::string& file) {
  std::vector<char> buffer(size, 0);
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                     static_cast<DWORD>(size), file.c_str());
  return std::string(buffer.data(), n);
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         FALSE;
}

void Win32Profile::Flush(const std::string& file) {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

}  // namespace platform::win32
