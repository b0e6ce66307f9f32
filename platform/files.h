#pragma once
// Files family: the host's own text files (the activity log), written by
// appending. Called from one thread at a time.
#include <cstdint>
#include <string>

namespace platform {

class IFiles {
 public:
  virtual ~IFiles() = default;
  // Makes the folder and any missing parents; true when it is there.
  virtual bool CreateFolder(const std::string& path) = 0;
  // The size in bytes, or -1 when there is no such file.
  virtual std::int64_t FileSize(const std::string& path) = 0;
  // Appends the bytes, making the file when it is missing; false when not
  // all of them were written. Others may read the file meanwhile.
  virtual bool Append(const std::string& path, const std::string& bytes) = 0;
  // Moves a file to another name, replacing what is there.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
};

}  // namespace platform
