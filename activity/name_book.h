#pragma once
// The names the network gives the devices' addresses, looked up by a thread
// of its own: a reverse lookup can take seconds, and the main thread only
// ever reads what has come back. A name is kept for the device that had the
// address then (its hardware address, "" when unknown): another device that
// gets the address later is not shown under it.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/worker_queue.h"

namespace activity {

class TNameBook {
 public:
  // Names kept at once; the oldest asked for goes first.
  static constexpr std::size_t kKept = 64;
  // A name older than this is not shown and is looked up again when asked
  // for: the address may belong to another device by now.
  static constexpr std::uint64_t kFreshForMs = 10 * 60 * 1000;

  // `now_ms`: a clock that never goes back.
  TNameBook(std::function<std::string(std::uint32_t)> look_up,
            std::function<std::uint64_t()> now_ms);
  // Waits for a lookup that is running: as long as the system's resolver
  // takes to give up.
  ~TNameBook();
  TNameBook(const TNameBook&) = delete;
  TNameBook& operator=(const TNameBook&) = delete;

  // Starts a lookup unless one is known or under way; never waits. At most
  // kKept wait: the oldest waiting then gives way, forgotten, so that a
  // later request asks again.
  void Request(std::uint32_t address, const std::string& hardware);
  // Drops what is known of the address and looks it up afresh: before a
  // question about it, whose name must be the network's answer of now.
  void LookUpAgain(std::uint32_t address, const std::string& hardware);
  // The name once the lookup is done and while it is fresh, for the same
  // device, cleaned to what may be shown ("" when the network gives none).
  std::optional<std::string> Name(std::uint32_t address, const std::string& hardware);

 private:
  struct Entry {
    std::string hardware;             // the device's when it was asked for
    std::optional<std::string> name;  // none: under way
    std::uint64_t at = 0;             // when it came back
  };
  void LookUp(std::vector<std::uint32_t>& addresses);
  bool Fresh(const Entry& entry, std::uint64_t now) const;
  void ForgetLocked(std::uint32_t address);

  std::function<std::string(std::uint32_t)> look_up_;
  std::function<std::uint64_t()> now_ms_;
  std::mutex mutex_;
  std::map<std::uint32_t, Entry> names_;
  std::deque<std::uint32_t> order_;  // as asked, for the bound
  // Last: its thread starts once everything above is there, and ends first.
  platform::TWorkerQueue<std::uint32_t> lookups_;
};

}  // namespace activity
