#pragma once
// The host's own text files in memory; the log's writer thread uses them.
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/files.h"

namespace doubles {

class FakeFiles final : public platform::IFiles {
 public:
  bool CreateFolder(const std::string& path) override {
    std::lock_guard lock(mutex_);
    if (refuse_writes) return false;
    folders.insert(path);
    return true;
  }
  std::int64_t FileSize(const std::string& path) override {
    std::lock_guard lock(mutex_);
    auto found = files.find(path);
    return found == files.end() ? -1 : static_cast<std::int64_t>(found->second.size());
  }
  bool Append(const std::string& path, const std::string& bytes) override {
    std::lock_guard lock(mutex_);
    ++appends;
    if (refuse_writes || !InAFolder(path)) return false;
    files[path] += bytes;
    return true;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    std::lock_guard lock(mutex_);
    auto found = files.find(from);
    if (found == files.end() || refuse_replace) return false;
    files[to] = std::move(found->second);
    files.erase(found);
    return true;
  }
  std::string Text(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files.count(path) ? files[path] : "";
  }
  void RefuseWrites(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_writes = refuse;
  }
  // A viewer holds the old file: the roll-over cannot replace it.
  void RefuseReplace(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_replace = refuse;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  bool refuse_writes = false;  // a read-only folder or a full disk
  bool refuse_replace = false;
  int appends = 0;

 private:
  bool InAFolder(const std::string& path) const {
    const auto slash = path.find_last_of('\\');
    return slash != std::string::npos && folders.count(path.substr(0, slash)) != 0;
  }
  std::mutex mutex_;
};

}  // namespace doubles
