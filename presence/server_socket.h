#pragma once
// The TCP presence server component: listens on its port, keeps one connection
// object per device, and raises connect, disconnect and read events.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/owners.h"
#include "platform/sockets.h"

namespace presence {

class TServerSocket;

// One accepted connection.
class TCustomWinSocket {
 public:
  // Reads the peer's address now: once the connection has broken (a reset, a
  // time-out) the system no longer tells it.
  // The connection owns its socket: it is closed when the object goes.
  TCustomWinSocket(platform::IStreamServer& server, platform::SocketHandle handle);
  platform::SocketHandle Handle() const { return handle_.Get(); }
  // The peer's dotted address as it was when the connection was accepted;
  // empty when it was no longer connected even then.
  const std::string& RemoteAddress() const { return remote_address_; }
  // The same address as a number; 0 when it could not be read.
  std::uint32_t RemoteIp() const { return remote_ip_; }
  // One send of all the bytes. Returns false when the send failed other than by
  // a full buffer (whose bytes are dropped, as the socket is non-blocking).
  bool SendText(const std::string& text, platform::SocketError& error);

 private:
  platform::IStreamServer& server_;
  platform::TStreamSocket handle_;
  std::string remote_address_;
  std::uint32_t remote_ip_ = 0;
};

std::string WindowsSocketErrorMessage(const std::string& text, int error, const std::string& api);

class TServerSocket {
 public:
  using ClientEvent = std::function<void(TServerSocket& sender, TCustomWinSocket& socket)>;

  explicit TServerSocket(platform::IStreamServer& server);
  ~TServerSocket();
  TServerSocket(const TServerSocket&) = delete;
  TServerSocket& operator=(const TServerSocket&) = delete;

  int Port = 1565;
  // Connections beyond this many are closed as soon as they are accepted.
  std::size_t MaxConnections = 16;
  // And beyond this many from one address, so that one device cannot take
  // every place; programs on this PC (loopback) are not held to it.
  std::size_t MaxConnectionsPerPeer = 4;
  // Decides, by the peer's address, whether a new connection may stay; one it
  // refuses is closed at once, without any event.
  std::function<bool(std::uint32_t peer)> AcceptFilter;
  ClientEvent OnClientConnect;
  ClientEvent OnClientDisconnect;
  ClientEvent OnClientRead;

  // Listens with backlog 5; throws "Windows socket error: ..." when it cannot.
  void SetActive(bool active);
  bool Active() const { return static_cast<bool>(listener_); }
  std::size_t ConnectionCount() const { return connections_.size(); }
  // Connections closed at once: far peers and those beyond the limit.
  std::uint64_t Refused() const { return refused_; }
  // A device that left: its disconnect event, then its socket is closed and freed.
  void Disconnect(TCustomWinSocket& socket);
  // Ends the connections whose device left without the system telling (a
  // reset that raised no close notification), each as Disconnect does.
  void DisconnectGone();
  // Ends every connection from `peer`, each as Disconnect does.
  void DisconnectPeer(std::uint32_t peer);
  void DisconnectAll();
  // Disconnects, with their events, the connections `which` chooses.
  void DisconnectWhere(const std::function<bool(TCustomWinSocket&)>& which);

 private:
  void OnEvent(platform::SocketHandle socket, platform::StreamEvent event,
               platform::SocketError error);
  void Accept();
  // Whether a new connection from `peer` finds a place, in all and for its address.
  bool HasRoom(std::uint32_t peer) const;
  void Forget(platform::SocketHandle handle);
  TCustomWinSocket* Find(platform::SocketHandle socket);

  platform::IStreamServer& server_;
  // Declared before the connections, so that they close first.
  platform::TStreamSocket listener_;
  std::vector<std::unique_ptr<TCustomWinSocket>> connections_;
  std::uint64_t refused_ = 0;
};

}  // namespace presence
