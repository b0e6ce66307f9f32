#pragma once
// The last devices heard from and what the host did with each, newest first:
// what the connection help shows when a phone "does nothing". Written from
// the listener thread (far senders, probes) and the main thread alike.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/system.h"
#include "service/host_events.h"

namespace activity {

using service::Heard;

struct HeardDevice {
  std::uint32_t address = 0;
  std::string hardware;  // "3c-22-fb-01-02-03", or empty when not known
  Heard what = Heard::Served;
  platform::LocalTime at{};
};

class TRecentDevices {
 public:
  static constexpr std::size_t kShown = 20;

  // The device moves to the front with what happened now; a hardware address
  // once known is kept when a later datagram comes without it.
  void Note(std::uint32_t address, const std::string& hardware, Heard what,
            const platform::LocalTime& at);
  std::vector<HeardDevice> Newest() const;
  // The device is listed with its hardware address.
  bool HardwareKnown(std::uint32_t address) const;

 private:
  mutable std::mutex mutex_;
  std::vector<HeardDevice> devices_;  // newest first, at most kShown
};

}  // namespace activity
