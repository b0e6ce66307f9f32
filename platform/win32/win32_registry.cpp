#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

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
  return RegistryValue{type, std::string(data.data(), size)};
}

void Win32Registry::CloseKey(RegistryKey key) { RegCloseKey(reinterpret_cast<HKEY>(key)); }

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
