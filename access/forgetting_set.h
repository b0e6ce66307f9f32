#pragma once
// A set that holds at most `capacity` entries: adding one more forgets the
// one added first. What a flood of new senders can make the host remember
// stays bounded this way.
#include <cstddef>
#include <deque>
#include <set>

namespace access_policy {

template <typename T>
class TForgettingSet {
 public:
  explicit TForgettingSet(std::size_t capacity) : capacity_(capacity) {}

  void Insert(const T& value) {
    if (!members_.insert(value).second) return;
    order_.push_back(value);
    if (order_.size() <= capacity_) return;
    members_.erase(order_.front());
    order_.pop_front();
  }
  bool Contains(const T& value) const { return members_.count(value) != 0; }
  std::size_t Size() const { return members_.size(); }

 private:
  std::size_t capacity_;
  std::set<T> members_;
  std::deque<T> order_;  // oldest first
};

}  // namespace access_policy
