#include "activity/name_book.h"

namespace activity {

TNameBook::TNameBook(std::function<std::string(std::uint32_t)> look_up)
    : look_up_(std::move(look_up)), thread_([this] { Run(); }) {}

TNameBook::~TNameBook() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wanted_.notify_one();
  thread_.join();
}

void TNameBook::Request(std::uint32_t address) {
  {
    std::lock_guard lock(mutex_);
    if (!names_.emplace(address, std::nullopt).second) return;
    order_.push_back(address);
    if (order_.size() > kKept) {
      names_.erase(order_.front());
      order_.pop_front();
    }
    queue_.push_back(address);
  }
  wanted_.notify_one();
}

std::optional<std::string> TNameBook::Name(std::uint32_t address) {
  std::lock_guard lock(mutex_);
  auto found = names_.find(address);
  return found == names_.end() ? std::nullopt : found->second;
}

void TNameBook::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wanted_.wait(lock, [&] { return ending_ || !queue_.empty(); });
    if (ending_) return;
    const std::uint32_t address = queue_.front();
    queue_.pop_front();
    lock.unlock();
    std::string name = look_up_(address);
    lock.lock();
    // Forgotten meanwhile (past the bound): the answer is not kept either.
    if (auto found = names_.find(address); found != names_.end()) found->second = std::move(name);
  }
}

}  // namespace activity
