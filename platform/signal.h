#pragma once
// Synchronisation family: the wake-up one thread gives another that sleeps
// until its work is done. Under Wine every wait on or wake through a kernel
// object (an event, or the C++ library's condition variable, built on events)
// is a call to the Wine server, which all programs share; the system's own
// condition variable waits on an address instead and calls no server. So the
// application object hands out the system's own kind (TApplication::NewSignal),
// and this portable one serves elsewhere.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform {

class ISignal {
 public:
  virtual ~ISignal() = default;
  // Wakes the thread that waits, or lets the next Wait return at once.
  virtual void Set() = 0;
  // Until Set (true) or the timeout (false); a Set wakes one Wait only.
  virtual bool Wait(std::chrono::milliseconds timeout) = 0;
};

class TConditionSignal final : public ISignal {
 public:
  void Set() override;
  bool Wait(std::chrono::milliseconds timeout) override;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

}  // namespace platform
