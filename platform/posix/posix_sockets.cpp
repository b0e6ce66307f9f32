// POSIX sockets behind the sockets interface, for the native build and its tests.
// errno values become the failures the portable code knows, the number kept.
#include <cstdio>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/sockets.h"

namespace platform {
namespace {

struct Pair {
  int number;
  SocketFailure failure;
};

constexpr Pair kFailures[] = {
    {EINTR, SocketFailure::Interrupted},          {EINVAL, SocketFailure::InvalidArgument},
    {EAGAIN, SocketFailure::WouldBlock},          {EBADF, SocketFailure::NotSocket},
    {EMSGSIZE, SocketFailure::MessageSize},       {EADDRINUSE, SocketFailure::AddressInUse},
    {ENETRESET, SocketFailure::NetReset},         {ECONNABORTED, SocketFailure::ConnectionAborted},
    {ECONNRESET, SocketFailure::ConnectionReset}, {ENOTCONN, SocketFailure::NotConnected},
    {ETIMEDOUT, SocketFailure::TimedOut},         {ECONNREFUSED, SocketFailure::ConnectionRefused},
};

SocketError ErrnoError(int number) {
  if (number == 0) return {};
  for (const Pair& pair : kFailures) {
    if (pair.number == number) return {pair.failure, number};
  }
  return {SocketFailure::Other, number};
}

SocketError ErrnoErrorOf(SocketFailure failure) {
  for (const Pair& pair : kFailures) {
    if (pair.failure == failure) return {failure, pair.number};
  }
  return {failure, 0};
}

sockaddr_in ToSockaddr(Ipv4Endpoint endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(endpoint.address);
  address.sin_port = htons(endpoint.port);
  return address;
}

Ipv4Endpoint FromSockaddr(const sockaddr_in& address) {
  return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

SocketError Result(int rc) { return rc == 0 ? SocketError{} : ErrnoError(errno); }

class PosixSockets final : public ISockets {
 public:
  int Startup() override { return 0; }
  void Cleanup() override {}
  std::string ErrorText(int number) override { return std::strerror(number); }
  SocketError ErrorOf(SocketFailure failure) override { return ErrnoErrorOf(failure); }

  SocketHandle OpenUdp() override { return Open(SOCK_DGRAM); }
  SocketHandle OpenTcp() override { return Open(SOCK_STREAM); }

  SocketError Bind(SocketHandle socket, Ipv4Endpoint local) override {
    sockaddr_in address = ToSockaddr(local);
    return Result(::bind(Fd(socket), reinterpret_cast<sockaddr*>(&address), sizeof address));
  }

  SocketError LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) override {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    int rc = ::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&address), &length);
    if (rc == 0) local = FromSockaddr(address);
    return Result(rc);
  }

  SocketError SetBroadcast(SocketHandle socket, bool enabled) override {
    int value = enabled ? 1 : 0;
    return Result(::setsockopt(Fd(socket), SOL_SOCKET, SO_BROADCAST, &value, sizeof value));
  }

  void DisableUdpResetReports(SocketHandle) override {
    // Linux reports ICMP errors on unconnected UDP sockets only with IP_RECVERR.
  }

  int WaitReadable(const std::vector<SocketHandle>& sockets, int timeout_ms,
                   std::vector<bool>& ready) override {
    std::vector<pollfd> fds;
    for (SocketHandle socket : sockets) fds.push_back({Fd(socket), POLLIN, 0});
    int rc = ::poll(fds.data(), fds.size(), timeout_ms);
    ready.assign(sockets.size(), false);
    if (rc <= 0) return rc < 0 ? -1 : 0;
    int count = 0;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      // Hang-up and error also count: the following receive reports them.
      if (fds[i].revents & (POLLIN | POLLERR | POLLHUP)) {
        ready[i] = true;
        ++count;
      }
    }
    return count;
  }

  IoResult ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                       Ipv4Endpoint& from) override {
    return ReceiveDatagram(socket, buffer, size, from, 0);
  }

  IoResult PeekFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                    Ipv4Endpoint& from) override {
    return ReceiveDatagram(socket, buffer, size, from, MSG_PEEK);
  }

  static IoResult ReceiveDatagram(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                                  Ipv4Endpoint& from, int flags) {
    sockaddr_in address{};
    iovec part{buffer, size};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    ssize_t n = ::recvmsg(Fd(socket), &message, flags);
    // A receive timeout shows as EAGAIN here and as a time-out on Windows.
    if (n < 0)
      return {0, errno == EAGAIN ? ErrnoErrorOf(SocketFailure::TimedOut) : ErrnoError(errno)};
    from = FromSockaddr(address);
    // Winsock fails a receive whose datagram did not fit; do the same here.
    if (message.msg_flags & MSG_TRUNC) return {0, ErrnoErrorOf(SocketFailure::MessageSize)};
    return {static_cast<long>(n), {}};
  }

  IoResult SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                  Ipv4Endpoint to) override {
    sockaddr_in address = ToSockaddr(to);
    ssize_t n = ::sendto(Fd(socket), data, size, MSG_NOSIGNAL,
                         reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (n < 0) return {0, ErrnoError(errno)};
    return {static_cast<long>(n), {}};
  }

  SocketError Connect(SocketHandle socket, Ipv4Endpoint to, int timeout_ms) override {
    int fd = Fd(socket);
    int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    sockaddr_in address = ToSockaddr(to);
    int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int error = 0;
    if (rc != 0 && errno != EINPROGRESS) {
      error = errno;
    } else if (rc != 0) {
      pollfd pfd{fd, POLLOUT, 0};
      if (::poll(&pfd, 1, timeout_ms) <= 0) {
        error = ETIMEDOUT;
      } else {
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
      }
    }
    ::fcntl(fd, F_SETFL, flags);
    return ErrnoError(error);
  }

  IoResult Receive(SocketHandle socket, std::uint8_t* buffer, std::size_t size) override {
    ssize_t n = ::recv(Fd(socket), buffer, size, 0);
    if (n < 0) return {0, ErrnoError(errno)};
    return {static_cast<long>(n), {}};
  }

  void Shutdown(SocketHandle socket) override { ::shutdown(Fd(socket), SHUT_RDWR); }
  void Close(SocketHandle socket) override { ::close(Fd(socket)); }

  bool Resolve(const std::string& host, std::uint32_t& address) override {
    if (Ipv4FromText(host, address)) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
      return false;
    }
    address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return true;
  }

  std::vector<std::uint32_t> HostAddresses(const std::string& name) override {
    std::vector<std::uint32_t> result;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return result;
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
      result.push_back(ntohl(reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr));
    }
    ::freeaddrinfo(found);
    return result;
  }

  std::string HostNameOf(std::uint32_t address) override {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(address);
    char name[NI_MAXHOST] = {};
    if (getnameinfo(reinterpret_cast<sockaddr*>(&peer), sizeof peer, name, sizeof name, nullptr, 0,
                    NI_NAMEREQD) != 0) {
      return "";
    }
    return name;
  }

  std::vector<Ipv4Interface> Interfaces() override {
    std::vector<Ipv4Interface> result;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return result;
    for (ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
      if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr) continue;
      if (entry->ifa_addr->sa_family != AF_INET) continue;
      Ipv4Interface own;
      own.address = ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
      own.netmask = ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr);
      own.up = (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING);
      own.tunnel = (entry->ifa_flags & IFF_POINTOPOINT) != 0;
      result.push_back(own);
    }
    ::freeifaddrs(list);
    return result;
  }

  std::vector<Neighbour> Neighbours() override {
    std::vector<Neighbour> neighbours;
    // "IP address  HW type  Flags  HW address  Mask  Device", one line each.
    std::FILE* table = std::fopen("/proc/net/arp", "r");
    if (table == nullptr) return neighbours;
    char line[256];
    while (std::fgets(line, sizeof line, table) != nullptr) {
      char ip[64], type[16], flags[16], hardware[64];
      std::uint32_t parsed = 0;
      if (std::sscanf(line, "%63s %15s %15s %63s", ip, type, flags, hardware) == 4 &&
          Ipv4FromText(ip, parsed) && std::strcmp(flags, "0x0") != 0) {
        std::string text = hardware;
        std::replace(text.begin(), text.end(), ':', '-');
        neighbours.push_back({parsed, text});
      }
    }
    std::fclose(table);
    return neighbours;
  }

  // Linux tells through netlink; the host's native build is for benchmarks
  // only and re-reads the list on its 5-second rule alone.
  WatchToken WatchAddressChanges(std::function<void()>) override { return kNoWatch; }
  void UnwatchAddressChanges(WatchToken) override {}

 private:
  static int Fd(SocketHandle socket) { return static_cast<int>(socket); }
  static SocketHandle Open(int type) {
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    return fd < 0 ? kNoSocket : fd;
  }
};

}  // namespace

ISockets& SystemSockets() {
  static PosixSockets sockets;
  return sockets;
}

}  // namespace platform
