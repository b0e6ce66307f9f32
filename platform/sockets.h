#pragma once
// Sockets family: the few socket operations the host and its client need, with
// error numbers always in the Windows Sockets numbering so that the portable code
// can decide on them the same way over Winsock and over POSIX sockets.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;
using WatchToken = std::uint64_t;
inline constexpr WatchToken kNoWatch = 0;

// Windows Sockets error numbers the portable code tells apart.
namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotSocket = 10038;
inline constexpr int kMessageSize = 10040;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kNetReset = 10052;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kNotConnected = 10057;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
}  // namespace wsa

// An IPv4 address and port, both in host byte order.
struct Ipv4Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
};

struct Ipv4Interface {
  std::uint32_t address = 0;  // host byte order
  std::uint32_t netmask = 0;  // host byte order: the adapter's on-link prefix
  bool up = true;             // the adapter passes traffic
  bool tunnel = false;        // a tunnel or point-to-point link (a VPN, say)
};

// Result of one receive or send: bytes moved, or error (a wsa:: number) when not 0.
struct IoResult {
  long bytes = 0;
  int error = 0;
};

class ISockets {
 public:
  virtual ~ISockets() = default;

  // Starts the socket library; 0 or the platform's error number.
  virtual int Startup() = 0;
  virtual void Cleanup() = 0;
  // The error of the last failed call on this thread.
  virtual int LastError() = 0;
  virtual std::string ErrorText(int error) = 0;

  virtual SocketHandle OpenUdp() = 0;  // kNoSocket on failure
  virtual SocketHandle OpenTcp() = 0;  // kNoSocket on failure
  // Each returns 0 or an error number.
  virtual int Bind(SocketHandle socket, Ipv4Endpoint local) = 0;
  virtual int LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) = 0;
  virtual int SetBroadcast(SocketHandle socket, bool enabled) = 0;
  // Stops a UDP socket from failing its next receive because an earlier send
  // reached a closed port (Windows reports that as a reset); no-op elsewhere.
  virtual void DisableUdpResetReports(SocketHandle socket) = 0;

  // Waits until one of the sockets is readable, at most timeout_ms.
  // Returns the number of readable sockets (ready[i] set for each), 0 on timeout,
  // or -1 on error.
  virtual int WaitReadable(const std::vector<SocketHandle>& sockets, int timeout_ms,
                           std::vector<bool>& ready) = 0;
  // One datagram; a datagram larger than the buffer fails with wsa::kMessageSize.
  virtual IoResult ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                               Ipv4Endpoint& from) = 0;
  virtual IoResult SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                          Ipv4Endpoint to) = 0;

  // Stream sockets, blocking, for the remote-control client.
  virtual int Connect(SocketHandle socket, Ipv4Endpoint to, int timeout_ms) = 0;
  virtual IoResult Receive(SocketHandle socket, std::uint8_t* buffer, std::size_t size) = 0;

  virtual void Shutdown(SocketHandle socket) = 0;
  virtual void Close(SocketHandle socket) = 0;

  // Dotted IPv4 text or a host name; false when it cannot be resolved.
  virtual bool Resolve(const std::string& host, std::uint32_t& address) = 0;
  // Every IPv4 address a host name resolves to, in the resolver's order.
  virtual std::vector<std::uint32_t> HostAddresses(const std::string& name) = 0;
  // Every IPv4 address of the machine's adapters, with the adapter's state;
  // loopback among them.
  virtual std::vector<Ipv4Interface> Interfaces() = 0;
  // The hardware address the system's neighbour table holds for an IPv4
  // address ("aa-bb-cc-dd-ee-ff"), or "" when it holds none.
  virtual std::string HardwareAddress(std::uint32_t address) = 0;
  // Calls `changed` (on any thread) whenever the system reports that an
  // adapter's address changed, until the token is given back; kNoWatch when
  // the system cannot tell. Several watches may be there at once. Hold the
  // token in a TAddressWatch (platform/owners.h).
  virtual WatchToken WatchAddressChanges(std::function<void()> changed) = 0;
  // Ends a watch; a call of its `changed` that is running has ended on return.
  virtual void UnwatchAddressChanges(WatchToken token) = 0;
};

// Socket events of the stream server (the FD_ values of WSAAsyncSelect).
inline constexpr int kEventRead = 0x01;
inline constexpr int kEventWrite = 0x02;
inline constexpr int kEventAccept = 0x08;
inline constexpr int kEventConnect = 0x10;
inline constexpr int kEventClose = 0x20;

// A listening stream socket whose events arrive on the main thread.
class IStreamServer {
 public:
  using EventHandler = std::function<void(SocketHandle socket, int event, int error)>;
  struct ListenResult {
    SocketHandle socket = kNoSocket;
    int error = 0;
    std::string api;  // the call that failed
  };
  virtual ~IStreamServer() = default;
  virtual void SetEventHandler(EventHandler handler) = 0;
  virtual ListenResult Listen(std::uint16_t port, int backlog) = 0;
  // The accepted connection, with its events selected; kNoSocket with `error`
  // set when there is none (wsa::kWouldBlock: none waiting).
  virtual SocketHandle Accept(SocketHandle listener, int& error) = 0;
  // 0 or an error number.
  virtual int PeerAddress(SocketHandle socket, std::uint32_t& address) = 0;
  virtual IoResult Send(SocketHandle socket, const std::uint8_t* data, std::size_t size) = 0;
  // True when the device has closed or reset the connection, whether or not
  // its notification has arrived (a look that takes no byte).
  virtual bool PeerClosed(SocketHandle socket) = 0;
  virtual void Close(SocketHandle socket) = 0;
  virtual std::string ErrorText(int error) = 0;
};

// The real implementation of the build (POSIX sockets natively, Winsock on Windows).
ISockets& SystemSockets();

std::string Ipv4ToText(std::uint32_t address);
bool Ipv4FromText(const std::string& text, std::uint32_t& address);

}  // namespace platform
