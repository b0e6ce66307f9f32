#pragma once
// Which of the lines a remote can cause are written. A device's lines of one
// kind make at most one line per period, the ones in between counted and
// said with the next; each device has a budget of lines a minute whatever
// their kinds; and only so many devices are followed at once, the lines of
// those beyond counted. What a flood of datagrams or connections can write
// stays small this way, however many kinds or addresses it uses.
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace activity {

class TLineFold {
 public:
  static constexpr std::uint64_t kBudgetPeriodMs = 60 * 1000;
  static constexpr unsigned kDeviceLinesPerMinute = 12;
  static constexpr std::size_t kDevices = 1024;
  // Longer than any kind's period: a device heard from no longer than this
  // ago has nothing left to fold.
  static constexpr std::uint64_t kForgetAfterMs = 10 * 60 * 1000;

  // From any thread. nullopt: folded, write nothing. Else what to add to the
  // line: the counts of what was folded since, "" when nothing was.
  std::optional<std::string> Admit(const std::string& device, const std::string& kind,
                                   std::uint64_t period_ms, std::uint64_t now_ms);

 private:
  struct Kind {
    std::uint64_t noted_at = 0;
    std::uint64_t folded = 0;  // since its last line
  };
  struct DeviceLines {
    std::map<std::string, Kind> kinds;
    std::uint64_t budget_from = 0;  // the start of the budget's minute
    unsigned lines = 0;             // written in that minute
    std::uint64_t over_budget = 0;  // not written for the budget, not yet said
    std::uint64_t last_line = 0;
  };
  DeviceLines* Find(const std::string& device, std::uint64_t now_ms);
  void ForgetQuiet(std::uint64_t now_ms);

  std::mutex mutex_;
  std::map<std::string, DeviceLines> devices_;
  std::uint64_t unlisted_ = 0;   // lines of devices beyond the bound, not yet said
  std::uint64_t sweep_due_ = 0;  // when the quietest device can first be forgotten
};

}  // namespace activity
