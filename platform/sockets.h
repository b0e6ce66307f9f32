#pragma once
// Sockets family: the few socket operations the host and its client need.
// Failures come as meanings the portable code decides on, each with the
// system's own error number for the messages that show it.
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

// The failures of socket calls the portable code tells apart.
enum class SocketFailure {
  None,
  Interrupted,
  InvalidArgument,
  WouldBlock,  // nothing to take now, or no room to send now
  NotSocket,
  MessageSize,  // a datagram larger than the buffer; its rest is gone
  AddressInUse,
  NetReset,  // an earlier datagram's time to live ran out
  ConnectionAborted,
  ConnectionReset,  // the peer reset it; for UDP, an earlier send met a closed port
  NotConnected,
  TimedOut,
  ConnectionRefused,
  Other,  // anything else: only its number tells
};

// The outcome of a socket call: the failure and the system's own number
// (Windows Sockets numbers on Windows, errno elsewhere).
struct SocketError {
  SocketFailure failure = SocketFailure::None;
  int number = 0;
  bool Failed() const { return failure != SocketFailure::None; }
  bool operator==(SocketFailure other) const { return failure == other; }
};

// An IPv4 address and port, both in host byte order.
struct Ipv4Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
};

struct Ipv4Interface {
  std::uint32_t address = 0;         // host byte order
  std::uint32_t netmask = 0;         // host byte order: the adapter's on-link prefix
  bool up = true;                    // the adapter passes traffic
  bool tunnel = false;               // the system names a tunnel type for it
  std::uint32_t interface_type = 6;  // the IANA ifType (6: Ethernet)
  std::string description{};         // the driver's name for the adapter
  bool operator==(const Ipv4Interface&) const = default;
};

// One entry of the system's neighbour (ARP) table.
struct Neighbour {
  std::uint32_t address = 0;  // host byte order
  std::string hardware;       // "aa-bb-cc-dd-ee-ff"
};

// Result of one receive or send: the bytes moved, or the failure.
struct IoResult {
  long bytes = 0;
  SocketError error;
};

class ISockets {
 public:
  virtual ~ISockets() = default;

  // Starts the socket library; 0 or the platform's error number.
  virtual int Startup() = 0;
  virtual void Cleanup() = 0;
  // The system's text for one of its error numbers.
  virtual std::string ErrorText(int number) = 0;
  // The system's own error for a failure the portable code finds itself.
  virtual SocketError ErrorOf(SocketFailure failure) = 0;

  virtual SocketHandle OpenUdp() = 0;  // kNoSocket on failure
  virtual SocketHandle OpenTcp() = 0;  // kNoSocket on failure
  virtual SocketError Bind(SocketHandle socket, Ipv4Endpoint local) = 0;
  virtual SocketError LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) = 0;
  virtual SocketError SetBroadcast(SocketHandle socket, bool enabled) = 0;
  // Stops a UDP socket from failing its next receive because an earlier send
  // reached a closed port (Windows reports that as a reset); no-op elsewhere.
  virtual void DisableUdpResetReports(SocketHandle socket) = 0;

  // Waits until one of the sockets is readable, at most timeout_ms.
  // Returns the number of readable sockets (ready[i] set for each), 0 on timeout,
  // or -1 on error.
  virtual int WaitReadable(const std::vector<SocketHandle>& sockets, int timeout_ms,
                           std::vector<bool>& ready) = 0;
  // One datagram; a datagram larger than the buffer fails with MessageSize.
  virtual IoResult ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                               Ipv4Endpoint& from) = 0;
  // The datagram next in line, left in line: a later receive takes it again.
  // One larger than the buffer fails with MessageSize, and stays in line too.
  virtual IoResult PeekFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                            Ipv4Endpoint& from) = 0;
  virtual IoResult SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                          Ipv4Endpoint to) = 0;

  // Stream sockets, blocking, for the remote-control client.
  virtual SocketError Connect(SocketHandle socket, Ipv4Endpoint to, int timeout_ms) = 0;
  virtual IoResult Receive(SocketHandle socket, std::uint8_t* buffer, std::size_t size) = 0;

  virtual void Shutdown(SocketHandle socket) = 0;
  virtual void Close(SocketHandle socket) = 0;

  // Dotted IPv4 text or a host name; false when it cannot be resolved.
  virtual bool Resolve(const std::string& host, std::uint32_t& address) = 0;
  // Every IPv4 address a host name resolves to, in the resolver's order.
  virtual std::vector<std::uint32_t> HostAddresses(const std::string& name) = 0;
  // The name the network gives an address (a reverse lookup), "" for none.
  // May take seconds: never on the main thread.
  virtual std::string HostNameOf(std::uint32_t address) = 0;
  // Every IPv4 address of the machine's adapters, with the adapter's state;
  // loopback among them.
  virtual std::vector<Ipv4Interface> Interfaces() = 0;
  // The entries of the system's neighbour table that name a hardware
  // address; empty when it cannot be read.
  virtual std::vector<Neighbour> Neighbours() = 0;
  // Calls `changed` (on any thread) whenever the system reports that an
  // adapter's address changed, until the token is given back; kNoWatch when
  // the system cannot tell. Several watches may be there at once. Hold the
  // token in a TAddressWatch (platform/owners.h).
  virtual WatchToken WatchAddressChanges(std::function<void()> changed) = 0;
  // Ends a watch; a call of its `changed` that is running has ended on return.
  virtual void UnwatchAddressChanges(WatchToken token) = 0;
};

// What the stream server reports about one of its sockets.
enum class StreamEvent { Accept, Read, Write, Connect, Close };

// A listening stream socket whose events arrive on the main thread.
class IStreamServer {
 public:
  using EventHandler =
      std::function<void(SocketHandle socket, StreamEvent event, SocketError error)>;
  struct ListenResult {
    SocketHandle socket = kNoSocket;
    SocketError error;
    std::string api;  // the call that failed
  };
  virtual ~IStreamServer() = default;
  virtual void SetEventHandler(EventHandler handler) = 0;
  virtual ListenResult Listen(std::uint16_t port, int backlog) = 0;
  // The accepted connection, with its events selected; kNoSocket with `error`
  // set when there is none (WouldBlock: none waiting).
  virtual SocketHandle Accept(SocketHandle listener, SocketError& error) = 0;
  virtual SocketError PeerAddress(SocketHandle socket, std::uint32_t& address) = 0;
  virtual IoResult Send(SocketHandle socket, const std::uint8_t* data, std::size_t size) = 0;
  // True when the device has closed or reset the connection, whether or not
  // its notification has arrived. What the device sent is taken and dropped
  // first: nothing is read from these connections, and bytes left waiting
  // would hide the close behind them.
  virtual bool PeerClosed(SocketHandle socket) = 0;
  virtual void Close(SocketHandle socket) = 0;
  virtual std::string ErrorText(int number) = 0;
};

// The real implementation of the build (POSIX sockets natively, Winsock on Windows).
ISockets& SystemSockets();

std::string Ipv4ToText(std::uint32_t address);
bool Ipv4FromText(const std::string& text, std::uint32_t& address);

}  // namespace platform
