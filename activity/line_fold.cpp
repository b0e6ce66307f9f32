#include "activity/line_fold.h"

#include <algorithm>

namespace activity {
namespace {

// " (N what)", built by appending: GCC 12 warns falsely (-Wrestrict) about a
// literal concatenated with std::to_string.
void AddCount(std::string& words, const char* before, std::uint64_t count, const char* what) {
  if (count == 0) return;
  words += before;
  words += std::to_string(count);
  words += what;
  words += ')';
}

}  // namespace

std::optional<std::string> TLineFold::Admit(const std::string& device, const std::string& kind,
                                            std::uint64_t period_ms, std::uint64_t now_ms) {
  std::lock_guard lock(mutex_);
  DeviceLines* lines = Find(device, now_ms);
  if (lines == nullptr) {
    ++unlisted_;
    return std::nullopt;
  }
  auto found = lines->kinds.find(kind);
  if (found != lines->kinds.end() && now_ms - found->second.noted_at < period_ms) {
    ++found->second.folded;
    return std::nullopt;
  }
  if (now_ms - lines->budget_from >= kBudgetPeriodMs) {
    lines->budget_from = now_ms;
    lines->lines = 0;
  }
  if (lines->lines >= kDeviceLinesPerMinute) {
    // Said by the device's next line that the budget allows.
    ++lines->over_budget;
    return std::nullopt;
  }
  ++lines->lines;
  lines->last_line = now_ms;
  Kind& of_kind = lines->kinds[kind];
  std::string counts;
  AddCount(counts, " (", of_kind.folded, " more since the last line");
  of_kind = {now_ms, 0};
  AddCount(counts, " (", lines->over_budget, " other lines of this device left out");
  lines->over_budget = 0;
  AddCount(counts, " (and ", unlisted_, " from devices too many to list");
  unlisted_ = 0;
  return counts;
}

TLineFold::DeviceLines* TLineFold::Find(const std::string& device, std::uint64_t now_ms) {
  auto found = devices_.find(device);
  if (found != devices_.end()) return &found->second;
  // Looked over only once the quietest can be due: a flood of new addresses
  // while the list is full costs no scan each.
  if (devices_.size() >= kDevices && now_ms >= sweep_due_) ForgetQuiet(now_ms);
  if (devices_.size() >= kDevices) return nullptr;
  return &devices_[device];
}

void TLineFold::ForgetQuiet(std::uint64_t now_ms) {
  std::uint64_t quietest = now_ms;
  for (auto it = devices_.begin(); it != devices_.end();) {
    if (now_ms - it->second.last_line >= kForgetAfterMs) {
      it = devices_.erase(it);
    } else {
      quietest = std::min(quietest, it->second.last_line);
      ++it;
    }
  }
  // Lines written later only make the quietest younger: this is never too late.
  sweep_due_ = quietest + kForgetAfterMs;
}

}  // namespace activity
