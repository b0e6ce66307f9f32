#include "activity/log_writer.h"

#include <algorithm>
#include <chrono>

namespace activity {
namespace {

// "(N what)" as a line of its own. Built by appending: GCC 12 warns falsely
// (-Wrestrict) about a literal concatenated with std::to_string.
std::string CountedNote(std::size_t count, const char* what) {
  std::string note = "(";
  note += std::to_string(count);
  note += ' ';
  note += what;
  note += ")\r\n";
  return note;
}

}  // namespace

TLogWriter::TLogWriter(platform::IFiles& files, std::string folder, const std::string& name)
    : files_(files),
      folder_(std::move(folder)),
      path_(folder_ + "\\" + name + ".log"),
      old_path_(folder_ + "\\" + name + ".1.log"),
      thread_([this] { Run(); }) {}

TLogWriter::~TLogWriter() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  added_.notify_one();
  thread_.join();
}

void TLogWriter::Add(std::string line) {
  {
    std::lock_guard lock(mutex_);
    ++added_count_;
    if (waiting_.size() >= kMaxWaitingLines) {
      ++dropped_;
      ++written_count_;  // it will never be written: Flush need not wait for it
      return;
    }
    waiting_.push_back(std::move(line));
  }
  added_.notify_one();
}

void TLogWriter::Flush() {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = added_count_;
  flush_target_ = std::max(flush_target_, target);
  added_.notify_one();
  written_.wait(lock, [&] { return written_count_ >= target; });
}

void TLogWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // Asleep until there is something to write: an idle host never wakes here.
    added_.wait(lock, [&] { return ending_ || !waiting_.empty() || dropped_ != 0; });
    if (waiting_.empty() && dropped_ == 0) {
      if (ending_) return;
      continue;
    }
    std::vector<std::string> lines;
    lines.swap(waiting_);
    if (dropped_ != 0) {
      lines.push_back(CountedNote(
          dropped_, "lines were not written: they came faster than the disk took them"));
      dropped_ = 0;
    }
    const std::uint64_t taken = lines.size();
    lock.unlock();
    Write(lines);
    lock.lock();
    written_count_ += taken;
    written_.notify_all();
    // Gathers what comes in the meantime into the next write, unless
    // someone waits for it.
    added_.wait_for(lock, std::chrono::milliseconds(kWriteEveryMs),
                    [&] { return ending_ || flush_target_ > written_count_; });
  }
}

void TLogWriter::Write(std::vector<std::string>& lines) {
  std::string text;
  if (lost_ != 0) {
    text = CountedNote(lost_, "lines could not be written to this file");
  }
  for (const std::string& line : lines) text += line;
  if (size_ < 0) {
    // The folder may be missing (first run) or not be makeable; the append
    // below tells which.
    files_.CreateFolder(folder_);
    size_ = std::max<std::int64_t>(files_.FileSize(path_), 0);
  }
  if (size_ > 0 && size_ + static_cast<std::int64_t>(text.size()) > kMaxBytes) {
    // An old file that cannot be replaced leaves this one growing: better a
    // long log than a lost one.
    if (files_.Replace(path_, old_path_)) size_ = 0;
  }
  if (files_.Append(path_, text)) {
    size_ += static_cast<std::int64_t>(text.size());
    lost_ = 0;
  } else {
    lost_ += lines.size();
    size_ = -1;  // read again: the file may be back next time
  }
}

}  // namespace activity
