#include "protocol/early_probe_answerer.h"

#include <array>
#include <future>

#include "protocol/datagram_gate.h"
#include "protocol/wire_format.h"

namespace protocol {

using platform::IoResult;
using platform::Ipv4Endpoint;

TEarlyProbeAnswerer::TEarlyProbeAnswerer(platform::ISockets& sockets, std::uint16_t port,
                                         IsNearby nearby)
    : sockets_(sockets), port_(port), nearby_(std::move(nearby)) {}

TEarlyProbeAnswerer::~TEarlyProbeAnswerer() { Stop(); }

void TEarlyProbeAnswerer::Start() {
  if (socket_ || thread_.joinable()) return;
  library_.emplace(sockets_);
  if (library_->Error() != 0) {
    library_.reset();
    return;
  }
  platform::TSocket socket(sockets_, sockets_.OpenUdp());
  if (!socket || sockets_.Bind(socket.Get(), {0, port_}).Failed()) {
    socket.Reset();
    library_.reset();
    return;
  }
  sockets_.DisableUdpResetReports(socket.Get());
  socket_ = std::move(socket);
  stop_ = false;
  reading_ = true;
  std::promise<void> running;
  std::future<void> started = running.get_future();
  thread_ = std::thread([this, running = std::move(running)]() mutable {
    running.set_value();
    Loop();
    reading_ = false;
  });
  // A new thread's start waits for the system's loader, which the caller is
  // about to hold for a long time while it loads the window libraries: let it
  // start first, so that it answers meanwhile.
  started.wait_for(kStartWait);
}

platform::TSocket TEarlyProbeAnswerer::Take() {
  EndThread();
  return std::move(socket_);
}

void TEarlyProbeAnswerer::Stop() {
  EndThread();
  socket_.Reset();
  library_.reset();
}

std::vector<std::uint32_t> TEarlyProbeAnswerer::Unsent() {
  std::lock_guard lock(unsent_mutex_);
  return unsent_;
}

void TEarlyProbeAnswerer::EndThread() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

// Waits a short time at once, not without limit, so that ending it needs no
// datagram of its own in the socket, which the listener would receive.
void TEarlyProbeAnswerer::Loop() {
  const std::vector<platform::SocketHandle> handles{socket_.Get()};
  std::vector<bool> ready;
  while (!stop_) {
    const int count = sockets_.WaitReadable(handles, kWaitMs, ready);
    // A failed wait is left to the listener, which has its own remedies.
    if (count < 0) return;
    if (count > 0 && !AnswerProbeInLine()) return;
  }
}

// True when the datagram next in line was a nearby probe and is answered;
// false leaves it in line, and this stops reading.
bool TEarlyProbeAnswerer::AnswerProbeInLine() {
  std::array<std::uint8_t, wire::kLargestDatagram> data;
  Ipv4Endpoint from;
  const IoResult peeked = sockets_.PeekFrom(socket_.Get(), data.data(), data.size(), from);
  if (peeked.error.Failed() || peeked.bytes <= 0) return false;
  const auto size = static_cast<std::size_t>(peeked.bytes);
  // A far sender is logged by the listener, which has the log: left in line too.
  if (ClassifyDatagram(nearby_(from.address), data.data(), size) != GateVerdict::Probe) {
    return false;
  }
  // Only this thread reads the socket until it ends, so this takes the probe just looked at.
  if (sockets_.ReceiveFrom(socket_.Get(), data.data(), data.size(), from).error.Failed()) {
    return false;
  }
  const auto& reply = wire::kProbeReply;
  const IoResult sent = sockets_.SendTo(socket_.Get(), reply.data(), reply.size(), from);
  if (sent.bytes != static_cast<long>(reply.size())) {
    std::lock_guard lock(unsent_mutex_);
    if (unsent_.size() < kUnsentKept) unsent_.push_back(from.address);
  }
  ++answered_;
  return true;
}

}  // namespace protocol
