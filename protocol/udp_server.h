#pragma once
// The UDP command listener component: one IPv4 socket for its one binding, a listener
// thread that receives each datagram into one reused buffer and hands it to the
// main thread, where the read event runs.
#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/owners.h"
#include "platform/signal.h"
#include "platform/sockets.h"
#include "protocol/main_thread_handover.h"

namespace protocol {

// A read-only stream over the datagram being handled, positioned at 0.
class TStream {
 public:
  TStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Size() const { return size_; }
  std::size_t Position() const { return position_; }
  std::size_t Read(void* buffer, std::size_t count);
  // The datagram's bytes, whatever has been read.
  const std::uint8_t* Memory() const { return data_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

struct TIdSocketHandle {
  std::string IP;  // empty: every local address
  std::uint16_t Port = 0;
  platform::SocketHandle Handle = platform::kNoSocket;
  bool Allocated = false;
  // Sender of the datagram last received through this binding.
  std::string PeerIP;
  std::uint32_t PeerAddress = 0;  // host byte order
  std::uint16_t PeerPort = 0;
};

class TIdUDPServer;
using TUDPReadEvent =
    std::function<void(TIdUDPServer& sender, TStream& data, TIdSocketHandle& binding)>;
// Runs on the listener thread for each datagram, before any hand-over; true
// hands the datagram to the main thread's read event.
using TListenerReadEvent =
    std::function<bool(TIdSocketHandle& binding, const std::uint8_t* data, std::size_t size)>;

class TIdUDPServer {
 public:
  static constexpr int kWakeAttempts = 20;
  static constexpr std::chrono::milliseconds kWakeWait{100};

  // `handled` is what the listener waits on while the main thread handles a
  // datagram (the application's NewSignal; a portable one when none is given).
  TIdUDPServer(platform::ISockets& sockets, std::function<void()> wake_main_thread,
               std::unique_ptr<platform::ISignal> handled = nullptr);
  ~TIdUDPServer();
  TIdUDPServer(const TIdUDPServer&) = delete;
  TIdUDPServer& operator=(const TIdUDPServer&) = delete;

  int DefaultPort = 1565;
  std::vector<TIdSocketHandle> Bindings;
  std::size_t BufferSize = 8192;
  bool BroadcastEnabled = false;
  TUDPReadEvent OnUDPRead;
  TListenerReadEvent OnListenerRead;  // none: every datagram is handed over

  bool Active() const { return active_; }
  void SetActive(bool active);
  // A socket already bound to `port` on every address (the early probe
  // answerer's): the next activation listens on it instead of binding anew,
  // so that what waits in it is received here. Closed at that activation when
  // the binding wants another address or port.
  void Adopt(platform::TSocket bound, std::uint16_t port);

  // From the listener thread: one datagram back through the socket a datagram
  // came in on. A failure costs only that reply and is not raised; false
  // tells of it.
  bool SendFrom(TIdSocketHandle& binding, platform::Ipv4Endpoint to, const std::uint8_t* buffer,
                std::size_t count);

  // Sends a datagram of its own to its port through loopback, to learn
  // whether the socket still receives (after sleep); SelfCheckArrived then
  // tells whether the listener took it. False when it could not be sent.
  bool StartSelfCheck();
  bool SelfCheckArrived() const { return check_arrived_; }

  TMainThreadHandover& Handover() { return handover_; }
  // Datagrams the listener dropped or answered itself, never handed over.
  std::uint64_t KeptOnListener() const { return kept_on_listener_; }
  // Receives that failed and were passed over (oversized datagrams, reset reports...).
  std::uint64_t ReceiveErrors() const { return receive_errors_; }

 private:
  void Activate();
  platform::TSocket OpenBinding(TIdSocketHandle& binding);
  void Deactivate();
  void CloseSockets();
  void WakeListener();
  static platform::Ipv4Endpoint OwnEndpoint(const TIdSocketHandle& binding);
  void ListenerLoop();
  // The datagram's size with its sender in `binding`; 0 when the receive
  // failed (`failure` says how) or brought an empty datagram.
  std::size_t ReceiveDatagram(TIdSocketHandle& binding, platform::SocketFailure& failure);
  void ReceiveAndHandOver(TIdSocketHandle& binding);
  bool IsSelfCheck(const TIdSocketHandle& binding, std::size_t size) const;

  platform::ISockets& sockets_;
  TMainThreadHandover handover_;
  // The listener thread's own, for the main thread to say a datagram is handled.
  std::unique_ptr<platform::ISignal> handled_;
  bool active_ = false;
  std::optional<platform::TSocketLibrary> library_;
  std::vector<platform::TSocket> sockets_owned_;  // one per binding, closed before the library ends
  platform::TSocket adopted_;
  std::uint16_t adopted_port_ = 0;
  std::vector<std::uint8_t> buffer_;
  std::thread listener_;
  std::future<void> listener_ended_;
  std::atomic<bool> stop_{false};
  // Made once, so the listener thread reads it without a lock.
  std::array<std::uint8_t, 16> check_token_{};
  std::atomic<bool> check_pending_{false};
  std::atomic<bool> check_arrived_{false};
  std::atomic<std::uint64_t> receive_errors_{0};
  std::atomic<std::uint64_t> kept_on_listener_{0};
};

}  // namespace protocol
