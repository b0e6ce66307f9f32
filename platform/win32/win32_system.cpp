#include "platform/win32/win32_system.h"

#include <windows.h>

#include <vector>

namespace platform::win32 {

OsVersion Win32System::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return {};
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId == VER_PLATFORM_WIN32_NT};
}

std::string Win32System::TempPath(std::size_t size) {
  std::vector<char> buffer(size, 0);
  DWORD n = GetTempPathA(static_cast<DWORD>(size), buffer.data());
  return n == 0 || n >= size ? std::string() : std::string(buffer.data(), n);
}

std::string Win32System::ComputerName(std::size_t size) {
  std::vector<char> buffer(size, 0);
  DWORD length = static_cast<DWORD>(size);
  if (!GetComputerNameA(buffer.data(), &length)) return "";
  return buffer.data();
}

bool Win32System::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32System::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32System::ChangeDirectory(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::string Win32System::ExpandEnvironment(const std::string& text) {
  DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::vector<char> buffer(needed + 1, 0);
  ExpandEnvironmentStringsA(text.c_str(), buffer.data(), needed + 1);
  return buffer.data();
}

std::optional<std::array<std::uint16_t, 4>> Win32System::FileVersion(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
      fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return std::array<std::uint16_t, 4>{
      HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
      HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

std::uint64_t Win32System::TickCountMs() { return GetTickCount64(); }

LocalTime Win32System::LocalNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace platform::win32
