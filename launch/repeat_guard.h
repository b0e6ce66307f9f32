#pragma once
// Drops a launch or close that repeats one of the same kind and number less
// than two seconds after it: a remote that repeats a button must not queue a
// stream of elevation prompts or start a program many times.
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace launch {

enum class RepeatKind : std::uint8_t { LaunchPage, ClosePage, LaunchUtility, CloseUtility };

class TRepeatGuard {
 public:
  static constexpr std::uint64_t kMinimumGapMs = 2000;

  // `now`: milliseconds on a clock that never goes back.
  explicit TRepeatGuard(std::function<std::uint64_t()> now);

  // True, and remembered, when the previous one of this kind and number that
  // was carried out is at least two seconds old (or there was none).
  bool Admit(RepeatKind kind, std::uint8_t number);

 private:
  std::function<std::uint64_t()> now_;
  std::map<std::pair<RepeatKind, std::uint8_t>, std::uint64_t> last_;
};

}  // namespace launch
