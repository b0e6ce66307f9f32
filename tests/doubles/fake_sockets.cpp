#include "tests/doubles/fake_sockets.h"

#include <cstring>

namespace doubles {

using platform::IoResult;
using platform::Ipv4Endpoint;

void FakeSockets::Deliver(std::vector<std::uint8_t> bytes, Ipv4Endpoint from) {
  std::lock_guard lock(mutex_);
  incoming_.push_back({{std::move(bytes), from}, 0});
  changed_.notify_all();
}

void FakeSockets::DeliverError(int error) {
  std::lock_guard lock(mutex_);
  incoming_.push_back({{}, error});
  changed_.notify_all();
}

std::vector<Datagram> FakeSockets::Sent() {
  std::lock_guard lock(mutex_);
  return sent_;
}

void FakeSockets::ForgetSent() {
  std::lock_guard lock(mutex_);
  sent_.clear();
}

bool FakeSockets::WaitForSent(std::size_t count, std::chrono::milliseconds deadline) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [&] { return sent_.size() >= count; });
}

bool FakeSockets::WaitUntilReceivedAll(std::chrono::milliseconds deadline) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [&] { return incoming_.empty(); });
}

platform::SocketHandle FakeSockets::OpenUdp() {
  if (fail_open) return platform::kNoSocket;
  std::lock_guard lock(mutex_);
  shut_down_ = false;
  ++open_sockets;
  return 7;
}

platform::SocketError FakeSockets::Bind(platform::SocketHandle, Ipv4Endpoint local) {
  ++binds;
  if (bind_error == 0) bound = local;
  return WsaError(bind_error);
}

platform::SocketError FakeSockets::LocalEndpoint(platform::SocketHandle, Ipv4Endpoint& local) {
  local = bound;
  return {};
}

platform::SocketError FakeSockets::SetBroadcast(platform::SocketHandle, bool enabled) {
  broadcast = enabled;
  return {};
}

int FakeSockets::WaitReadable(const std::vector<platform::SocketHandle>& sockets, int timeout_ms,
                              std::vector<bool>& ready) {
  std::unique_lock lock(mutex_);
  ready.assign(sockets.size(), false);
  changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                    [&] { return !incoming_.empty() || shut_down_; });
  if (incoming_.empty()) return 0;
  ready[0] = true;
  return 1;
}

IoResult FakeSockets::ReceiveFrom(platform::SocketHandle, std::uint8_t* buffer, std::size_t size,
                                  Ipv4Endpoint& from) {
  std::unique_lock lock(mutex_);
  // Waits as a blocking socket does: until a datagram comes or it is shut down.
  ++receiving_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return !incoming_.empty() || shut_down_; });
  --receiving_;
  if (incoming_.empty()) return {0, {}};
  Incoming next = std::move(incoming_.front());
  incoming_.pop_front();
  changed_.notify_all();
  if (next.error != 0) return {0, WsaError(next.error)};
  if (next.datagram.bytes.size() > size) return {0, WsaError(wsa::kMessageSize)};
  std::memcpy(buffer, next.datagram.bytes.data(), next.datagram.bytes.size());
  from = next.datagram.peer;
  return {static_cast<long>(next.datagram.bytes.size()), {}};
}

IoResult FakeSockets::PeekFrom(platform::SocketHandle, std::uint8_t* buffer, std::size_t size,
                               Ipv4Endpoint& from) {
  std::unique_lock lock(mutex_);
  ++peeks;
  ++receiving_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return !incoming_.empty() || shut_down_; });
  --receiving_;
  if (incoming_.empty()) return {0, {}};
  const Incoming& next = incoming_.front();
  if (next.error != 0) return {0, WsaError(next.error)};
  if (next.datagram.bytes.size() > size) return {0, WsaError(wsa::kMessageSize)};
  std::memcpy(buffer, next.datagram.bytes.data(), next.datagram.bytes.size());
  from = next.datagram.peer;
  return {static_cast<long>(next.datagram.bytes.size()), {}};
}

IoResult FakeSockets::SendTo(platform::SocketHandle, const std::uint8_t* data, std::size_t size,
                             Ipv4Endpoint to) {
  std::lock_guard lock(mutex_);
  if (send_error != 0) return {0, WsaError(send_error)};
  if (to.port == bound.port && (to.address == 0x7F000001u || to.address == bound.address)) {
    // To our own port: it comes back in, as through the loopback.
    ++looped_back;
    if (loopback_filtered) return {static_cast<long>(size), {}};
    incoming_.push_back({{{data, data + size}, to}, 0});
    changed_.notify_all();
    return {static_cast<long>(size), {}};
  }
  sent_.push_back({{data, data + size}, to});
  changed_.notify_all();
  return {static_cast<long>(size) - send_short_by, {}};
}

void FakeSockets::Shutdown(platform::SocketHandle) {
  std::lock_guard lock(mutex_);
  shut_down_ = true;
  ++shutdowns;
  changed_.notify_all();
}

void FakeSockets::Close(platform::SocketHandle) {
  std::lock_guard lock(mutex_);
  --open_sockets;
}

std::vector<platform::Ipv4Interface> FakeSockets::Interfaces() {
  std::lock_guard lock(mutex_);
  ++interface_reads;
  return interfaces;
}

std::vector<platform::Neighbour> FakeSockets::Neighbours() {
  std::lock_guard lock(mutex_);
  ++neighbour_reads;
  std::vector<platform::Neighbour> table;
  for (const auto& [address, hardware] : neighbours) table.push_back({address, hardware});
  return table;
}

// As on Windows: every watch stays until its token is given back.
platform::WatchToken FakeSockets::WatchAddressChanges(std::function<void()> changed) {
  return address_watches_.Add(std::move(changed));
}

void FakeSockets::UnwatchAddressChanges(platform::WatchToken token) {
  address_watches_.Remove(token);
}

bool FakeSockets::WaitUntilReceiving(std::chrono::milliseconds deadline) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [&] { return receiving_ > 0 && incoming_.empty(); });
}

}  // namespace doubles
