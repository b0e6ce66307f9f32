#pragma once
// The activity log: one UTF-8 line per thing that happens, with the local
// time and the device, for the person at the PC to read later. What a remote
// typed is never in it, only how long it was.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "activity/activity_words.h"
#include "activity/log_writer.h"
#include "platform/files.h"
#include "platform/system.h"

namespace activity {

// Who a line is about.
using LogDevice = service::Device;

class TActivityLog {
 public:
  // A device's refusals of one kind make at most one line in this time.
  static constexpr std::uint64_t kRefusalEveryMs = 10 * 60 * 1000;
  static constexpr std::size_t kRefusalDevices = 1024;

  TActivityLog(platform::IFiles& files, platform::ISystem& system, std::string folder);

  void Note(const LogDevice& device, Activity what, const std::string& detail = "");
  // From any thread. The first refusal of a device makes a line; later ones
  // are counted, and said with the next line it makes ten minutes on.
  void NoteRefusal(const LogDevice& device, Refusal why);
  void Flush() { writer_.Flush(); }
  const std::string& Path() const { return writer_.Path(); }

 private:
  struct Refusals {
    std::uint64_t noted_at = 0;
    std::uint64_t dropped = 0;  // since the last line
  };
  std::string Line(const LogDevice& device, const std::string& words);
  void ForgetOldRefusals(std::uint64_t now);

  platform::ISystem& system_;
  std::mutex refusals_mutex_;
  std::map<std::pair<std::string, Refusal>, Refusals> refusals_;
  std::uint64_t unlisted_ = 0;   // refusals of devices beyond the bound, not yet said
  std::uint64_t sweep_due_ = 0;  // when the oldest listed refusal can first be forgotten
  TLogWriter writer_;
};

// "%LOCALAPPDATA%\Mirovanta 2", expanded.
std::string ActivityFolder(platform::ISystem& system);

}  // namespace activity
