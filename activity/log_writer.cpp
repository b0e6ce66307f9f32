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
      lines_([this](std::vector<Line>& lines) { Write(lines); }, kMaxWaitingLines,
             platform::TWorkerQueue<Line>::AtEnd::Finish,
             platform::TWorkerQueue<Line>::WhenFull::DropNewest,
             std::chrono::milliseconds(kWriteEveryMs)) {}

// A line the full line of waiting ones cannot take is counted; the writer,
// which has that full line to write anyway, says how many in the file.
void TLogWriter::Add(std::string line, bool kept) {
  if (lines_.Push({std::move(line), kept})) ++dropped_;
}

void TLogWriter::Write(std::vector<Line>& lines) {
  std::string text;
  if (lost_ != 0) {
    text = CountedNote(lost_, "lines could not be written to this file");
  }
  for (const Line& line : lines) text += line.text;
  std::size_t notes = 0;
  if (const std::size_t dropped = dropped_.exchange(0); dropped != 0) {
    text +=
        CountedNote(dropped, "lines were not written: they came faster than the disk took them");
    notes = 1;
  }
  if (size_ < 0) {
    // The folder may be missing (first run) or not be makeable; the append
    // below tells which.
    files_.CreateFolder(folder_);
    size_ = std::max<std::int64_t>(files_.FileSize(path_), 0);
  }
  if (size_ > 0 && size_ + static_cast<std::int64_t>(text.size()) > kMaxBytes) {
    if (files_.Replace(path_, old_path_)) {
      size_ = 0;
      stopped_ = false;
      text = CarriedOver() + text;
    } else if (size_ + static_cast<std::int64_t>(text.size()) > kStopBytes) {
      // An old file that cannot be replaced leaves this one growing up to
      // twice its size, then the lines are counted, not written, until a
      // roll-over succeeds: what comes first in the file is kept.
      lost_ += lines.size() + notes;
      if (stopped_) return;
      stopped_ = true;
      text = "(the log is full and could not be moved to " + old_path_ +
             ": no more lines are written until it can)\r\n";
      if (files_.Append(path_, text)) size_ += static_cast<std::int64_t>(text.size());
      return;
    }
  }
  if (files_.Append(path_, text)) {
    size_ += static_cast<std::int64_t>(text.size());
    lost_ = 0;
    Keep(lines);
  } else {
    lost_ += lines.size() + notes;
    size_ = -1;  // read again: the file may be back next time
  }
}

std::string TLogWriter::CarriedOver() const {
  if (kept_.empty()) return "";
  std::string text = "(carried over from the older file: the last " + std::to_string(kept_.size()) +
                     " lines of what was decided at this PC)\r\n";
  for (const std::string& line : kept_) text += line;
  return text + "(end of what was carried over)\r\n";
}

void TLogWriter::Keep(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (!line.kept) continue;
    kept_.push_back(line.text);
    if (kept_.size() > kKeptLines) kept_.pop_front();
  }
}

}  // namespace activity
