#pragma once
// At most one "Device Connected" and one "Device Disconnected" balloon per
// device address in any ten seconds, and at most four of each kind in all: a
// storm of connections, from one address or from many, must not bury the
// user in balloons.
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>

namespace presence {

class TBalloonLimiter {
 public:
  static constexpr std::uint64_t kQuietMs = 10 * 1000;
  static constexpr std::size_t kMostOfAKindInAll = 4;

  // True, and remembered, when this kind of balloon for this address has not
  // been shown in the last ten seconds.
  bool Admit(const std::string& address, bool connected, std::uint64_t now_ms);

 private:
  std::map<std::pair<std::string, bool>, std::uint64_t> shown_at_;
  // The balloons of each kind shown in the last ten seconds: [0] Disconnected, [1] Connected.
  std::array<std::deque<std::uint64_t>, 2> shown_in_all_;
};

}  // namespace presence
