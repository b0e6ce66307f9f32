#include "protocol/udp_server.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <random>

#include "platform/ipv4.h"
#include "protocol/socket_error.h"

namespace protocol {

using platform::IoResult;
using platform::Ipv4Endpoint;
using platform::SocketError;
using platform::SocketFailure;

std::size_t TStream::Read(void* buffer, std::size_t count) {
  std::size_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

TIdUDPServer::TIdUDPServer(platform::ISockets& sockets, std::function<void()> wake_main_thread,
                           std::unique_ptr<platform::ISignal> handled)
    : sockets_(sockets),
      handover_(std::move(wake_main_thread)),
      handled_(handled ? std::move(handled) : std::make_unique<platform::TConditionSignal>()) {
  // Not a secret: only a program on this PC can send from loopback. It only
  // keeps a stray local datagram from passing for the check.
  std::random_device random;
  for (std::uint8_t& byte : check_token_) byte = static_cast<std::uint8_t>(random());
}

TIdUDPServer::~TIdUDPServer() { SetActive(false); }

void TIdUDPServer::SetActive(bool active) {
  if (active == active_) return;
  if (active) {
    Activate();
  } else {
    Deactivate();
  }
}

void TIdUDPServer::Activate() {
  if (Bindings.empty()) {
    if (DefaultPort < 1) throw platform::EFrameworkError(kNoBindings);
    TIdSocketHandle binding;
    binding.Port = static_cast<std::uint16_t>(DefaultPort);
    Bindings.push_back(binding);
  }
  if (Bindings.size() > 1) throw platform::EFrameworkError(kOneBindingOnly);
  library_.emplace(sockets_);
  if (library_->Error() != 0) {
    library_.reset();
    throw platform::EFrameworkError(kWinsockInitialization);
  }
  // A socket handed over for the default binding is that binding's; otherwise
  // it goes before the bind, which would find the port taken by it.
  const bool adopting =
      adopted_ && Bindings.front().IP.empty() && Bindings.front().Port == adopted_port_;
  if (!adopting) adopted_.Reset();
  try {
    for (TIdSocketHandle& binding : Bindings) {
      platform::TSocket& socket =
          sockets_owned_.emplace_back(adopting ? std::move(adopted_) : OpenBinding(binding));
      binding.Handle = socket.Get();
      binding.Allocated = true;
      Ipv4Endpoint local{0, binding.Port};
      if (!sockets_.LocalEndpoint(binding.Handle, local).Failed()) {
        binding.IP = platform::Ipv4ToText(local.address);
        binding.Port = local.port;
      }
      sockets_.DisableUdpResetReports(binding.Handle);
    }
  } catch (...) {
    CloseSockets();
    throw;
  }
  buffer_.assign(BufferSize, 0);
  stop_ = false;
  handover_.Open();
  std::promise<void> ended;
  listener_ended_ = ended.get_future();
  listener_ = std::thread([this, ended = std::move(ended)]() mutable {
    ListenerLoop();
    ended.set_value();
  });
  for (TIdSocketHandle& binding : Bindings) sockets_.SetBroadcast(binding.Handle, BroadcastEnabled);
  active_ = true;
}

void TIdUDPServer::Adopt(platform::TSocket bound, std::uint16_t port) {
  adopted_ = std::move(bound);
  adopted_port_ = port;
}

// A new socket bound as `binding` asks; its failures are raised.
platform::TSocket TIdUDPServer::OpenBinding(TIdSocketHandle& binding) {
  platform::TSocket socket(sockets_, sockets_.OpenUdp());
  if (!socket) throw platform::EFrameworkError(kCannotAllocateSocket);
  Ipv4Endpoint local{0, binding.Port};
  if (!binding.IP.empty() && !platform::Ipv4FromText(binding.IP, local.address)) {
    const SocketError error = sockets_.ErrorOf(SocketFailure::InvalidArgument);
    throw ESocketError(error, sockets_.ErrorText(error.number));
  }
  if (SocketError error = sockets_.Bind(socket.Get(), local); error.Failed()) {
    if (error == SocketFailure::AddressInUse) throw platform::EFrameworkError(kAddressInUse);
    throw ESocketError(error, sockets_.ErrorText(error.number));
  }
  return socket;
}

void TIdUDPServer::Deactivate() {
  stop_ = true;
  // A datagram waiting for the main thread at this point is dropped: the form
  // that would handle it is being taken down.
  handover_.Close();
  if (listener_.joinable()) {
    WakeListener();
    listener_.join();
  }
  // Closed only after the thread has ended, so that it never waits on a handle
  // the system may already have given to someone else.
  CloseSockets();
  active_ = false;
}

bool TIdUDPServer::StartSelfCheck() {
  check_arrived_ = false;
  if (!active_ || Bindings.empty() || !Bindings.front().Allocated) return false;
  check_pending_ = true;
  const TIdSocketHandle& binding = Bindings.front();
  return !sockets_
              .SendTo(binding.Handle, check_token_.data(), check_token_.size(),
                      OwnEndpoint(binding))
              .error.Failed();
}

// Only this socket sends it: from loopback, from its own port, the token.
bool TIdUDPServer::IsSelfCheck(const TIdSocketHandle& binding, std::size_t size) const {
  return check_pending_ && size == check_token_.size() &&
         binding.PeerAddress == platform::kLoopbackAddress && binding.PeerPort == binding.Port &&
         std::equal(check_token_.begin(), check_token_.end(), buffer_.begin());
}

// The listener waits in its receive with no time limit, so it is woken by a
// datagram of our own to each bound port; it sees the stop flag and ends. Should
// none arrive (a loopback filter), a shutdown ends the wait instead.
void TIdUDPServer::WakeListener() {
  static constexpr std::uint8_t kWake[] = {0};
  for (int attempt = 0; attempt < kWakeAttempts; ++attempt) {
    for (TIdSocketHandle& binding : Bindings) {
      if (!binding.Allocated) continue;
      sockets_.SendTo(binding.Handle, kWake, sizeof kWake, OwnEndpoint(binding));
    }
    if (listener_ended_.wait_for(kWakeWait) == std::future_status::ready) return;
  }
  for (TIdSocketHandle& binding : Bindings) {
    if (binding.Allocated) sockets_.Shutdown(binding.Handle);
  }
}

Ipv4Endpoint TIdUDPServer::OwnEndpoint(const TIdSocketHandle& binding) {
  std::uint32_t address = 0;
  if (!platform::Ipv4FromText(binding.IP, address) || address == 0) {
    address = platform::kLoopbackAddress;
  }
  return {address, binding.Port};
}

void TIdUDPServer::CloseSockets() {
  for (TIdSocketHandle& binding : Bindings) {
    binding.Allocated = false;
    binding.Handle = platform::kNoSocket;
  }
  sockets_owned_.clear();
  library_.reset();
}

// The receive itself waits, which saves a system call per datagram (a costly
// one under Wine); deactivation wakes it.
void TIdUDPServer::ListenerLoop() {
  TIdSocketHandle& binding = Bindings.front();
  while (!stop_) ReceiveAndHandOver(binding);
}

std::size_t TIdUDPServer::ReceiveDatagram(TIdSocketHandle& binding, SocketFailure& failure) {
  Ipv4Endpoint from;
  IoResult received = sockets_.ReceiveFrom(binding.Handle, buffer_.data(), buffer_.size(), from);
  failure = received.error.failure;
  if (received.error.Failed() || received.bytes <= 0) return 0;
  binding.PeerAddress = from.address;
  binding.PeerIP = platform::Ipv4ToText(from.address);
  binding.PeerPort = from.port;
  return static_cast<std::size_t>(received.bytes);
}

// Nothing on this thread raises: each failed receive is counted where it
// happens, without an exception per datagram that a flood would pay for.
void TIdUDPServer::ReceiveAndHandOver(TIdSocketHandle& binding) {
  SocketFailure failure = SocketFailure::None;
  const std::size_t size = ReceiveDatagram(binding, failure);
  if (size == 0) {
    ++receive_errors_;
    // A failed receive costs only its own datagram: one too large for the
    // buffer (gone already), a reset report about an earlier reply to a
    // closed port, or an empty datagram, which carries no command. Anything
    // else may be lasting, so pause before the next wait.
    const bool per_datagram =
        failure == SocketFailure::None || failure == SocketFailure::MessageSize ||
        failure == SocketFailure::ConnectionReset || failure == SocketFailure::NetReset;
    if (!per_datagram && !stop_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return;
  }
  // The wake-up at deactivation, or a datagram that came too late to be served.
  if (stop_) return;
  if (IsSelfCheck(binding, size)) {
    check_pending_ = false;
    check_arrived_ = true;
    return;
  }
  if (OnListenerRead && !OnListenerRead(binding, buffer_.data(), size)) {
    ++kept_on_listener_;
    return;
  }
  const std::function<void()> call = [&] {
    if (!OnUDPRead) return;
    TStream data(buffer_.data(), size);
    OnUDPRead(*this, data, binding);
  };
  std::exception_ptr error;
  handover_.Synchronize(call, error, *handled_);
  // An error raised by the handler has ended the handling of that datagram
  // only; the listener goes on with the next one.
}

bool TIdUDPServer::SendFrom(TIdSocketHandle& binding, Ipv4Endpoint to, const std::uint8_t* buffer,
                            std::size_t count) {
  if (!binding.Allocated) return false;
  // A reply that fails is lost like any datagram: the remote asks again.
  return sockets_.SendTo(binding.Handle, buffer, count, to).bytes == static_cast<long>(count);
}

}  // namespace protocol
