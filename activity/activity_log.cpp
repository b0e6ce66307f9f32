#include "activity/activity_log.h"

#include <cstdio>

#include "platform/sockets.h"

namespace activity {
namespace {

std::string DeviceText(const LogDevice& device) {
  if (device.address == 0) return device.hardware.empty() ? "-" : device.hardware;
  const std::string ip = platform::Ipv4ToText(device.address);
  return device.hardware.empty() ? ip : ip + " (" + device.hardware + ")";
}

// A device by its hardware address, so that a new IP address folds with the
// old; a browser that proved nothing yet has no other name than its address.
std::string FoldKey(const LogDevice& device) {
  if (device.hardware == service::kUnprovedBrowser) {
    return device.hardware + " " + platform::Ipv4ToText(device.address);
  }
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
  std::string words = ActivityWords(what, detail);
  const LineSource source = SourceOf(what);
  if (source == LineSource::User) {
    writer_.Add(Line(device, words), true);
    return;
  }
  std::string kind = "a" + std::to_string(static_cast<int>(what));
  if (source == LineSource::RemoteByDetail) kind += " " + detail;
  const auto counts = fold_.Admit(FoldKey(device), kind, kRemoteLineEveryMs, system_.TickCountMs());
  if (counts) writer_.Add(Line(device, words + *counts));
}

void TActivityLog::NoteRefusal(const LogDevice& device, Refusal why) {
  const std::string kind = "r" + std::to_string(static_cast<int>(why));
  const auto counts = fold_.Admit(FoldKey(device), kind, kRefusalEveryMs, system_.TickCountMs());
  if (counts) writer_.Add(Line(device, RefusalWords(why) + *counts));
}

}  // namespace activity
