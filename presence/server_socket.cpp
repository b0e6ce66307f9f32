#include "presence/server_socket.h"

#include <algorithm>

#include "platform/framework_error.h"
#include "platform/ipv4.h"

namespace presence {

std::string WindowsSocketErrorMessage(const std::string& text, int error, const std::string& api) {
  return "Windows socket error: " + text + " (" + std::to_string(error) + "), on API '" + api + "'";
}

TCustomWinSocket::TCustomWinSocket(platform::IStreamServer& server, platform::SocketHandle handle)
    : server_(server), handle_(server, handle) {
  std::uint32_t address = 0;
  // Any failure here is a peer that is gone already: its balloons show no address.
  if (!server_.PeerAddress(handle, address).Failed()) {
    remote_address_ = platform::Ipv4ToText(address);
    remote_ip_ = address;
  }
}

bool TCustomWinSocket::SendText(const std::string& text, platform::SocketError& error) {
  error = {};
  if (text.empty()) return true;
  platform::IoResult sent =
      server_.Send(handle_.Get(), reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  if (sent.error == platform::SocketFailure::WouldBlock) return true;  // dropped, never retried
  error = sent.error;
  return !sent.error.Failed();
}

TServerSocket::TServerSocket(platform::IStreamServer& server) : server_(server) {
  server_.SetEventHandler([this](platform::SocketHandle socket, platform::StreamEvent event,
                                 platform::SocketError error) { OnEvent(socket, event, error); });
}

TServerSocket::~TServerSocket() { SetActive(false); }

void TServerSocket::SetActive(bool active) {
  if (active == Active()) return;
  if (active) {
    platform::IStreamServer::ListenResult result =
        server_.Listen(static_cast<std::uint16_t>(Port), 5);
    if (result.socket == platform::kNoSocket) {
      throw platform::EFrameworkError(WindowsSocketErrorMessage(
          server_.ErrorText(result.error.number), result.error.number, result.api));
    }
    listener_ = platform::TStreamSocket(server_, result.socket);
    return;
  }
  // Shutting down: the connections close with their events off, so no balloons.
  connections_.clear();
  listener_.Reset();
}

TCustomWinSocket* TServerSocket::Find(platform::SocketHandle socket) {
  for (const auto& connection : connections_) {
    if (connection->Handle() == socket) return connection.get();
  }
  return nullptr;
}

// Takes every connection that waits, a bounded number per notification: one
// that went away before it was taken fails alone and must not hold up the
// ones queued behind it.
void TServerSocket::Accept() {
  constexpr int kMostPerNotification = 64;
  for (int taken = 0; taken < kMostPerNotification; ++taken) {
    platform::SocketError error;
    platform::SocketHandle accepted = server_.Accept(listener_.Get(), error);
    if (accepted == platform::kNoSocket) {
      if (error == platform::SocketFailure::ConnectionReset ||
          error == platform::SocketFailure::ConnectionAborted) {
        continue;
      }
      return;  // none waiting, or a fault the next notification retries
    }
    auto connection = std::make_unique<TCustomWinSocket>(server_, accepted);
    const std::uint32_t peer = connection->RemoteIp();
    const bool wanted = !AcceptFilter || AcceptFilter(peer);
    if (wanted && !HasRoom(peer)) DisconnectGone();
    if (!wanted || !HasRoom(peer)) {
      ++refused_;
      continue;  // the connection object closes it as it goes
    }
    connections_.push_back(std::move(connection));
    if (OnClientConnect) OnClientConnect(*this, *connections_.back());
  }
}

bool TServerSocket::HasRoom(std::uint32_t peer) const {
  if (connections_.size() >= MaxConnections) return false;
  if (platform::IsLoopback(peer)) return true;
  const auto from_peer = std::count_if(connections_.begin(), connections_.end(),
                                       [&](const auto& c) { return c->RemoteIp() == peer; });
  return static_cast<std::size_t>(from_peer) < MaxConnectionsPerPeer;
}

// Devices that left but whose notification has not come yet still hold a
// place: a device that reconnects at once must not find them all taken.
void TServerSocket::DisconnectGone() {
  DisconnectWhere(
      [this](TCustomWinSocket& connection) { return server_.PeerClosed(connection.Handle()); });
}

void TServerSocket::DisconnectAll() {
  DisconnectWhere([](TCustomWinSocket&) { return true; });
}

void TServerSocket::DisconnectPeer(std::uint32_t peer) {
  DisconnectWhere([peer](TCustomWinSocket& connection) { return connection.RemoteIp() == peer; });
}

// The handles first: each disconnect's event may close others.
void TServerSocket::DisconnectWhere(const std::function<bool(TCustomWinSocket&)>& which) {
  std::vector<platform::SocketHandle> chosen;
  for (const auto& connection : connections_) {
    if (which(*connection)) chosen.push_back(connection->Handle());
  }
  for (platform::SocketHandle handle : chosen) {
    if (TCustomWinSocket* connection = Find(handle)) Disconnect(*connection);
  }
}

void TServerSocket::Disconnect(TCustomWinSocket& socket) {
  const platform::SocketHandle handle = socket.Handle();
  // The event first, while the socket is still open and has its address.
  try {
    if (OnClientDisconnect) OnClientDisconnect(*this, socket);
  } catch (...) {
    Forget(handle);
    throw;
  }
  Forget(handle);
}

// Frees the connection object, which closes its socket.
void TServerSocket::Forget(platform::SocketHandle handle) {
  std::erase_if(connections_, [&](const auto& c) { return c->Handle() == handle; });
}

void TServerSocket::OnEvent(platform::SocketHandle socket, platform::StreamEvent event,
                            platform::SocketError error) {
  if (listener_ && socket == listener_.Get()) {
    if (event == platform::StreamEvent::Accept && !error.Failed()) Accept();
    return;
  }
  TCustomWinSocket* connection = Find(socket);
  if (connection == nullptr) return;  // closed already; a late notification
  // An error reported for a connection (a reset, a time-out) is a device that
  // left, just as an orderly close is.
  if (event == platform::StreamEvent::Close || error.Failed()) {
    Disconnect(*connection);
    return;
  }
  if (event != platform::StreamEvent::Read) return;
  // What a device sends is dropped there; a close that came behind it is
  // seen now, not only at the next check.
  if (server_.PeerClosed(socket)) {
    Disconnect(*connection);
    return;
  }
  if (OnClientRead) OnClientRead(*this, *connection);
}

}  // namespace presence
