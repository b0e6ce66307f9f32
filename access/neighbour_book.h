#pragma once
// Which hardware address the system's neighbour table gives an IPv4 address,
// from a copy of the table read again only when it is due. Reading the table
// is a system call that walks all of it (milliseconds under some systems): a
// flood of datagrams from many addresses must not cost one read each.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sockets.h"

namespace access_policy {

class TNeighbourBook {
 public:
  // The copy answers for this long; then the table is read again.
  static constexpr std::uint64_t kFreshForMs = 2000;
  // An address the copy does not hold makes the table be read again, but
  // not more often than this: a device that just joined is found at once,
  // a flood of unknown addresses costs a few reads a second.
  static constexpr std::uint64_t kMissRereadAfterMs = 250;

  // `now_ms`: a clock that never goes back.
  TNeighbourBook(std::function<std::vector<platform::Neighbour>()> read_table,
                 std::function<std::uint64_t()> now_ms);

  // "aa-bb-cc-dd-ee-ff", or "" when the table holds no entry for it.
  std::string HardwareAddress(std::uint32_t address);

 private:
  void Read(std::uint64_t now);

  std::function<std::vector<platform::Neighbour>()> read_table_;
  std::function<std::uint64_t()> now_ms_;
  std::unordered_map<std::uint32_t, std::string> table_;
  std::uint64_t read_at_ = 0;
  bool read_ = false;
};

}  // namespace access_policy
