#pragma once
// System information and files: the version, the temporary folder, the computer
// name, file tests, the current directory, environment expansion and file
// version resources.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  bool nt = false;  // the NT family
};

// The wall clock in the user's time zone.
struct LocalTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual OsVersion Version() = 0;
  // GetTempPathA into a buffer of `size`: empty when it fails.
  virtual std::string TempPath(std::size_t size) = 0;
  // GetComputerNameA into a buffer of `size`: empty when it fails.
  virtual std::string ComputerName(std::size_t size) = 0;
  // A file, not a directory, exists there.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool ChangeDirectory(const std::string& path) = 0;
  // The whole expansion of environment references, however long.
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
  // The four parts of the file version, or nothing without a version resource.
  virtual std::optional<std::array<std::uint16_t, 4>> FileVersion(const std::string& path) = 0;
  // Milliseconds since the system started; never goes back.
  virtual std::uint64_t TickCountMs() = 0;
  virtual LocalTime LocalNow() = 0;
};

}  // namespace platform
