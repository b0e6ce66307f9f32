#include "input/input_target.h"

namespace input {

TInputTargetCheck::TInputTargetCheck(platform::IWindows& windows, Clock now_ms, Warn warn)
    : windows_(windows), now_ms_(std::move(now_ms)), warn_(std::move(warn)) {}

std::string TInputTargetCheck::WarningText(const std::string& title) {
  return "Mirovanta 2 cannot control \"" + title + "\" because it runs as administrator.";
}

void TInputTargetCheck::BeforeInput() {
  const std::uint64_t now = now_ms_();
  if (looked_ && now - looked_at_ < kLookEveryMs) return;
  looked_ = true;
  looked_at_ = now;
  Look();
}

void TInputTargetCheck::Look() {
  const platform::WindowHandle window = windows_.ForegroundWindow();
  if (window == checked_) return;
  checked_ = window;
  if (window == 0) return;
  if (!own_read_) {
    own_ = windows_.ProcessIntegrity(0);
    own_read_ = true;
  }
  const std::uint32_t process = windows_.WindowProcessId(window);
  if (process == 0 || told_.count(process) != 0) return;
  const platform::IntegrityLevel level = windows_.ProcessIntegrity(process);
  // Not known on either side: nothing is said rather than a false alarm.
  if (level == platform::IntegrityLevel::Unknown || own_ == platform::IntegrityLevel::Unknown ||
      level <= own_) {
    return;
  }
  if (told_.size() >= kToldKept) told_.clear();
  told_.insert(process);
  warn_(WarningText(windows_.WindowText(window, 256)));
}

}  // namespace input
