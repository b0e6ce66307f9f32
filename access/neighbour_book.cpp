#include "access/neighbour_book.h"

#include "platform/ipv4.h"

namespace access_policy {

TNeighbourBook::TNeighbourBook(std::function<std::vector<platform::Neighbour>()> read_table,
                               std::function<std::uint64_t()> now_ms)
    : read_table_(std::move(read_table)), now_ms_(std::move(now_ms)) {}

std::string TNeighbourBook::HardwareAddress(std::uint32_t address) {
  // Programs on this PC have no hardware address: the table is not read for them.
  if (platform::IsLoopback(address)) return "";
  const std::uint64_t now = now_ms_();
  if (!read_ || now - read_at_ >= kFreshForMs) Read(now);
  auto found = table_.find(address);
  if (found == table_.end() && now - read_at_ >= kMissRereadAfterMs) {
    Read(now);
    found = table_.find(address);
  }
  return found == table_.end() ? "" : found->second;
}

void TNeighbourBook::Read(std::uint64_t now) {
  table_.clear();
  for (platform::Neighbour& entry : read_table_())
    table_[entry.address] = std::move(entry.hardware);
  read_at_ = now;
  read_ = true;
}

}  // namespace access_policy
