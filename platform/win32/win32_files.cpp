#include "platform/win32/win32_files.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {

bool Win32Files::CreateFolder(const std::string& path) {
  const int result = SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
  return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

std::int64_t Win32Files::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32Files::Append(const std::string& path, const std::string& bytes) {
  // Shared for reading and deleting: an editor may have the file open while
  // lines are added, and the log may be rolled over meanwhile.
  UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool Win32Files::Replace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace platform::win32
