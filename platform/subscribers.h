#pragma once
// Callbacks that a system service calls on a thread of its own, each added and
// removed by a token. Several may be there at once; removing one never touches
// another. Remove waits for a call that is running, so the one who removed a
// callback may destroy what it uses at once. A callback must not remove
// itself (that would wait for itself).
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace platform {

class TSubscribers {
 public:
  std::uint64_t Add(std::function<void()> callback);
  void Remove(std::uint64_t token);
  // Calls every callback, one after the other, on the calling thread.
  void CallAll();
  std::size_t Count();

 private:
  std::mutex mutex_;
  std::map<std::uint64_t, std::function<void()>> callbacks_;
  std::uint64_t next_ = 1;
};

}  // namespace platform
