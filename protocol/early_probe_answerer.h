#pragma once
// Answers the remote's search from the first moments of the process. Most of a
// start goes on loading the window and shell libraries, on the hidden windows
// and on the tray icon; a phone that searches meanwhile would find nothing and
// give up on this PC. So, as soon as the single-instance lock is held, this
// binds the command port and answers probes from nearby senders, the same
// answer the listener gives. It takes nothing else: a command, a far sender's
// datagram or anything it cannot read stays in the socket, and it stops
// reading there. The command listener then takes the bound socket over and
// receives whatever waits in it.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <functional>
#include "platform/owners.h"
#include "platform/sockets.h"

namespace protocol {

class TEarlyProbeAnswerer {
 public:
  // How long one wait for a datagram lasts before the stop flag is read: the
  // hand-over waits for at most this long.
  static constexpr int kWaitMs = 10;
  // How long Start waits at most for its thread to be running.
  static constexpr std::chrono::milliseconds kStartWait{500};
  // How many senders whose answer could not be sent are kept for the log.
  static constexpr std::size_t kUnsentKept = 8;

  // Whether a sender is near enough to be answered (the access policy's
  // rule, as the listener applies it); called on the answerer's thread.
  using IsNearby = std::function<bool(std::uint32_t address)>;

  TEarlyProbeAnswerer(platform::ISockets& sockets, std::uint16_t port, IsNearby nearby);
  ~TEarlyProbeAnswerer();
  TEarlyProbeAnswerer(const TEarlyProbeAnswerer&) = delete;
  TEarlyProbeAnswerer& operator=(const TEarlyProbeAnswerer&) = delete;

  // Binds the port and starts answering. When the port cannot be had, it
  // does nothing: the listener's own start meets the same failure at its
  // place in the start-up and reports it there.
  void Start();
  // Stops answering and hands the bound socket over: none when Start could
  // not bind or it was stopped.
  platform::TSocket Take();
  // Stops answering and closes the socket: the start-up failed, and a remote
  // must not find a host whose error box is up.
  void Stop();

  std::uint16_t Port() const { return port_; }
  // Reads the socket: false once it stopped at a datagram it leaves in line.
  bool Reading() const { return reading_; }
  std::uint64_t Answered() const { return answered_; }
  // Senders whose answer could not be sent, for the log once it is there.
  std::vector<std::uint32_t> Unsent();

 private:
  void Loop();
  bool AnswerProbeInLine();
  void EndThread();

  platform::ISockets& sockets_;
  std::uint16_t port_;
  IsNearby nearby_;
  std::optional<platform::TSocketLibrary> library_;
  platform::TSocket socket_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> reading_{false};
  std::atomic<std::uint64_t> answered_{0};
  std::mutex unsent_mutex_;
  std::vector<std::uint32_t> unsent_;
};

}  // namespace protocol
