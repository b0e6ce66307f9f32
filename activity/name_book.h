#pragma once
// The names the network gives the devices' addresses, looked up by a thread
// of its own: a reverse lookup can take seconds, and the main thread only
// ever reads what has come back.
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

  explicit TNameBook(std::function<std::string(std::uint32_t)> look_up);
  // Waits for a lookup that is running: as long as the system's resolver
  // takes to give up.
  ~TNameBook();
  TNameBook(const TNameBook&) = delete;
  TNameBook& operator=(const TNameBook&) = delete;

  // Starts a lookup unless one is known or under way; never waits. At most
  // kKept wait: the oldest waiting then gives way, forgotten, so that a
  // later request asks again.
  void Request(std::uint32_t address);
  // The name once the lookup is done ("" when the network gives none).
  std::optional<std::string> Name(std::uint32_t address);

 private:
  void LookUp(std::vector<std::uint32_t>& addresses);

  std::function<std::string(std::uint32_t)> look_up_;
  std::mutex mutex_;
  std::map<std::uint32_t, std::optional<std::string>> names_;  // nullopt: under way
  std::deque<std::uint32_t> order_;                            // as asked, for the bound
  // Last: its thread starts once everything above is there, and ends first.
  platform::TWorkerQueue<std::uint32_t> lookups_;
};

}  // namespace activity
