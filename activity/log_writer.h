#pragma once
// Lines of a text log, written by a thread of their own: whoever adds a line
// never waits for the disk. The first line of a burst is written at once,
// the rest gathered for at most a fifth of a second;
// past 1 MB the file is rolled over to "<name>.1.log", the one old file kept.
// The last lines marked as kept (the PC's own user's) start the new file
// again, so that no flood of other lines pushes them out of both files.
// A file that cannot be written loses its lines and costs nothing else.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/worker_queue.h"

namespace activity {

class TLogWriter {
 public:
  static constexpr std::int64_t kMaxBytes = 1024 * 1024;
  // A log that cannot be rolled over (a viewer holds the old file) stops
  // here, saying so once, rather than grow without bound.
  static constexpr std::int64_t kStopBytes = 2 * kMaxBytes;
  // Lines waiting beyond this are dropped (and counted in the file) rather
  // than held: a disk that stalls must not grow the host without limit.
  static constexpr std::size_t kMaxWaitingLines = 4096;
  static constexpr unsigned kWriteEveryMs = 200;
  static constexpr std::size_t kKeptLines = 200;

  // `folder` is made when the first lines are written.
  TLogWriter(platform::IFiles& files, std::string folder, const std::string& name);
  TLogWriter(const TLogWriter&) = delete;
  TLogWriter& operator=(const TLogWriter&) = delete;

  // A whole line, with its line end.
  void Add(std::string line, bool kept = false);
  // Returns once every line added before has been written or given up.
  void Flush() { lines_.Flush(); }
  const std::string& Path() const { return path_; }
  const std::string& OldPath() const { return old_path_; }

 private:
  struct Line {
    std::string text;
    bool kept = false;
  };
  void Write(std::vector<Line>& lines);
  // The start of a file just rolled over: the kept lines of before.
  std::string CarriedOver() const;
  void Keep(const std::vector<Line>& lines);

  platform::IFiles& files_;
  const std::string folder_;
  const std::string path_;
  const std::string old_path_;
  std::atomic<std::size_t> dropped_{0};  // not yet said in the file
  // The writer thread's own.
  std::int64_t size_ = -1;        // unknown until the first write
  std::size_t lost_ = 0;          // lines a failed write lost, not yet said in the file
  bool stopped_ = false;          // full and not rolled over: the stop is said already
  std::deque<std::string> kept_;  // the last kept lines written, oldest first
  // Last: its thread starts once everything above is there, and ends first,
  // having written what waits.
  platform::TWorkerQueue<Line> lines_;
};

}  // namespace activity
