#include "activity/name_book.h"

#include <algorithm>

namespace activity {

TNameBook::TNameBook(std::function<std::string(std::uint32_t)> look_up)
    : look_up_(std::move(look_up)),
      lookups_([this](std::vector<std::uint32_t>& addresses) { LookUp(addresses); }, kKept,
               platform::TWorkerQueue<std::uint32_t>::AtEnd::Drop,
               platform::TWorkerQueue<std::uint32_t>::WhenFull::DropOldest) {}

// The queue, declared last, ends first: a lookup under way is waited for.
TNameBook::~TNameBook() = default;

void TNameBook::Request(std::uint32_t address) {
  {
    std::lock_guard lock(mutex_);
    if (!names_.emplace(address, std::nullopt).second) return;
    order_.push_back(address);
    if (order_.size() > kKept) {
      names_.erase(order_.front());
      order_.pop_front();
    }
  }
  const std::optional<std::uint32_t> dropped = lookups_.Push(address);
  if (!dropped) return;
  // Never to be looked up: forgotten, so that a later request asks again.
  std::lock_guard lock(mutex_);
  if (auto found = names_.find(*dropped); found != names_.end() && !found->second) {
    names_.erase(found);
    order_.erase(std::remove(order_.begin(), order_.end(), *dropped), order_.end());
  }
}

std::optional<std::string> TNameBook::Name(std::uint32_t address) {
  std::lock_guard lock(mutex_);
  auto found = names_.find(address);
  return found == names_.end() ? std::nullopt : found->second;
}

void TNameBook::LookUp(std::vector<std::uint32_t>& addresses) {
  for (std::uint32_t address : addresses) {
    // The host is going: the names are of no use any more.
    if (lookups_.Ending()) return;
    std::string name = look_up_(address);
    std::lock_guard lock(mutex_);
    // Forgotten meanwhile (past the bound): the answer is not kept either.
    if (auto found = names_.find(address); found != names_.end()) found->second = std::move(name);
  }
}

}  // namespace activity
