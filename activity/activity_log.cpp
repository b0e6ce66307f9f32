#include "activity/activity_log.h"

#include <algorithm>

#include <cstdio>

#include "platform/sockets.h"

namespace activity {
namespace {

std::string DeviceText(const LogDevice& device) {
  if (device.address == 0) return device.hardware.empty() ? "-" : device.hardware;
  const std::string ip = platform::Ipv4ToText(device.address);
  return device.hardware.empty() ? ip : ip + " (" + device.hardware + ")";
}

std::string RefusalKey(const LogDevice& device) {
  return device.hardware.empty() ? platform::Ipv4ToText(device.address) : device.hardware;
}

}  // namespace

std::string ActivityFolder(platform::ISystem& system) {
  return system.ExpandEnvironment("%LOCALAPPDATA%\\Mirovanta 2");
}

TActivityLog::TActivityLog(platform::IFiles& files, platform::ISystem& system, std::string folder)
    : system_(system), writer_(files, std::move(folder), "activity") {}

std::string TActivityLog::Line(const LogDevice& device, const std::string& words) {
  const platform::LocalTime t = system_.LocalNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return std::string(stamp) + "  " + DeviceText(device) + "  " + words + "\r\n";
}

void TActivityLog::Note(const LogDevice& device, Activity what, const std::string& detail) {
  writer_.Add(Line(device, ActivityWords(what, detail)));
}

void TActivityLog::NoteRefusal(const LogDevice& device, Refusal why) {
  const std::uint64_t now = system_.TickCountMs();
  std::string words = RefusalWords(why);
  {
    std::lock_guard lock(refusals_mutex_);
    auto key = std::make_pair(RefusalKey(device), why);
    auto found = refusals_.find(key);
    if (found != refusals_.end() && now - found->second.noted_at < kRefusalEveryMs) {
      ++found->second.dropped;
      return;
    }
    if (found == refusals_.end()) {
      // The list is looked over only once its oldest line can be due: a flood
      // of new far addresses while it is full costs no scan each.
      if (refusals_.size() >= kRefusalDevices && now >= sweep_due_) ForgetOldRefusals(now);
      if (refusals_.size() >= kRefusalDevices) {
        ++unlisted_;  // said with the next refusal that makes a line
        return;
      }
      found = refusals_.emplace(key, Refusals{}).first;
    }
    if (found->second.dropped != 0) {
      words += " (" + std::to_string(found->second.dropped) + " more since the last line)";
    }
    if (unlisted_ != 0) {
      words += " (and " + std::to_string(unlisted_) + " from devices too many to list)";
      unlisted_ = 0;
    }
    found->second = {now, 0};
  }
  writer_.Add(Line(device, words));
}

void TActivityLog::ForgetOldRefusals(std::uint64_t now) {
  std::uint64_t oldest = now;
  for (auto it = refusals_.begin(); it != refusals_.end();) {
    if (now - it->second.noted_at >= kRefusalEveryMs) {
      it = refusals_.erase(it);
    } else {
      oldest = std::min(oldest, it->second.noted_at);
      ++it;
    }
  }
  // Lines noted later only make the oldest younger: this is never too late.
  sweep_due_ = oldest + kRefusalEveryMs;
}

}  // namespace activity
