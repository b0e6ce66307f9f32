#include "activity/name_book.h"

#include <algorithm>

#include "activity/name_text.h"

namespace activity {

TNameBook::TNameBook(std::function<std::string(std::uint32_t)> look_up,
                     std::function<std::uint64_t()> now_ms)
    : look_up_(std::move(look_up)),
      now_ms_(std::move(now_ms)),
      lookups_([this](std::vector<std::uint32_t>& addresses) { LookUp(addresses); }, kKept,
               platform::TWorkerQueue<std::uint32_t>::AtEnd::Drop,
               platform::TWorkerQueue<std::uint32_t>::WhenFull::DropOldest) {}

// The queue, declared last, ends first: a lookup under way is waited for.
TNameBook::~TNameBook() = default;

bool TNameBook::Fresh(const Entry& entry, std::uint64_t now) const {
  return !entry.name || now - entry.at < kFreshForMs;
}

void TNameBook::ForgetLocked(std::uint32_t address) {
  names_.erase(address);
  order_.erase(std::remove(order_.begin(), order_.end(), address), order_.end());
}

void TNameBook::Request(std::uint32_t address, const std::string& hardware) {
  const std::uint64_t now = now_ms_();
  {
    std::lock_guard lock(mutex_);
    if (auto found = names_.find(address); found != names_.end()) {
      if (Fresh(found->second, now) && found->second.hardware == hardware) return;
      ForgetLocked(address);
    }
    names_.emplace(address, Entry{hardware, std::nullopt, 0});
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
  if (auto found = names_.find(*dropped); found != names_.end() && !found->second.name) {
    ForgetLocked(*dropped);
  }
}

void TNameBook::LookUpAgain(std::uint32_t address, const std::string& hardware) {
  {
    std::lock_guard lock(mutex_);
    auto found = names_.find(address);
    // One under way for the same device is the answer of now already.
    if (found != names_.end() && !found->second.name && found->second.hardware == hardware) {
      return;
    }
    ForgetLocked(address);
  }
  Request(address, hardware);
}

std::optional<std::string> TNameBook::Name(std::uint32_t address, const std::string& hardware) {
  const std::uint64_t now = now_ms_();
  std::lock_guard lock(mutex_);
  auto found = names_.find(address);
  if (found == names_.end() || !Fresh(found->second, now)) return std::nullopt;
  if (found->second.hardware != hardware) return std::nullopt;
  return found->second.name;
}

void TNameBook::LookUp(std::vector<std::uint32_t>& addresses) {
  for (std::uint32_t address : addresses) {
    // The host is going: the names are of no use any more.
    if (lookups_.Ending()) return;
    std::string name = CleanName(look_up_(address));
    const std::uint64_t now = now_ms_();
    std::lock_guard lock(mutex_);
    // Forgotten meanwhile (past the bound): the answer is not kept either.
    if (auto found = names_.find(address); found != names_.end()) {
      found->second.name = std::move(name);
      found->second.at = now;
    }
  }
}

}  // namespace activity
