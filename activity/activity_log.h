#pragma once
// The activity log: one UTF-8 line per thing that happens, with the local
// time and the device, for the person at the PC to read later. What a remote
// typed is never in it, only how long it was.
//
// Lines a remote can cause are folded per device (see TLineFold); the lines
// of the PC's own user are always written and outlive a roll-over.
#include <cstdint>
#include <string>

#include "activity/activity_words.h"
#include "activity/line_fold.h"
#include "activity/log_writer.h"
#include "platform/files.h"
#include "platform/system.h"

namespace activity {

// Who a line is about.
using LogDevice = service::Device;

class TActivityLog {
 public:
  // A device's refusals of one kind make at most one line in this time,
  // the other lines a remote causes one a minute.
  static constexpr std::uint64_t kRefusalEveryMs = 10 * 60 * 1000;
  static constexpr std::uint64_t kRemoteLineEveryMs = 60 * 1000;
  static constexpr std::size_t kRefusalDevices = TLineFold::kDevices;

  TActivityLog(platform::IFiles& files, platform::ISystem& system, std::string folder);

  void Note(const LogDevice& device, Activity what, const std::string& detail = "");
  // From any thread. The first refusal of a device makes a line; later ones
  // are counted, and said with the next line it makes ten minutes on.
  void NoteRefusal(const LogDevice& device, Refusal why);
  void Flush() { writer_.Flush(); }
  const std::string& Path() const { return writer_.Path(); }

 private:
  std::string Line(const LogDevice& device, const std::string& words);

  platform::ISystem& system_;
  TLineFold fold_;
  TLogWriter writer_;
};

// "%LOCALAPPDATA%\Mirovanta 2", expanded.
std::string ActivityFolder(platform::ISystem& system);

}  // namespace activity
