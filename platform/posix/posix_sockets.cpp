// POSIX sockets behind the sockets interface, for the native build and its tests.
// errno values are translated to the Windows Sockets numbers the portable code expects.
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

int ToWsa(int error) {
  switch (error) {
    case 0: return 0;
    case EINTR: return wsa::kInterrupted;
    case EAGAIN: return wsa::kWouldBlock;
    case EBADF: return wsa::kNotSocket;
    case EMSGSIZE: return wsa::kMessageSize;
    case EADDRINUSE: return wsa::kAddressInUse;
    case ENETRESET: return wsa::kNetReset;
    case ECONNABORTED: return wsa::kConnectionAborted;
    case ECONNRESET: return wsa::kConnectionReset;
    case ENOTCONN: return wsa::kNotConnected;
    case ETIMEDOUT: return wsa::kTimedOut;
    case ECONNREFUSED: return wsa::kConnectionRefused;
    default: return 10000 + error;  // outside the numbers the portable code tells apart
  }
}

int FromWsa(int error) {
  switch (error) {
    case wsa::kInterrupted: return EINTR;
    case wsa::kWouldBlock: return EAGAIN;
    case wsa::kNotSocket: return EBADF;
    case wsa::kMessageSize: return EMSGSIZE;
    case wsa::kAddressInUse: return EADDRINUSE;
    case wsa::kNetReset: return ENETRESET;
    case wsa::kConnectionAborted: return ECONNABORTED;
    case wsa::kConnectionReset: return ECONNRESET;
    case wsa::kNotConnected: return ENOTCONN;
    case wsa::kTimedOut: return ETIMEDOUT;
    case wsa::kConnectionRefused: return ECONNREFUSED;
    default: return error - 10000;
  }
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

int Result(int rc) { return rc == 0 ? 0 : ToWsa(errno); }

class PosixSockets final : public ISockets {
 public:
  int Startup() override { return 0; }
  void Cleanup() override {}
  int LastError() override { return ToWsa(errno); }
  std::string ErrorText(int error) override { return std::strerror(FromWsa(error)); }

  SocketHandle OpenUdp() override { return Open(SOCK_DGRAM); }
  SocketHandle OpenTcp() override { return Open(SOCK_STREAM); }

  int Bind(SocketHandle socket, Ipv4Endpoint local) override {
    sockaddr_in address = ToSockaddr(local);
    return Result(::bind(Fd(socket), reinterpret_cast<sockaddr*>(&address), sizeof address));
  }

  int LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) override {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    int rc = ::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&address), &length);
    if (rc == 0) local = FromSockaddr(address);
    return Result(rc);
  }

  int SetBroadcast(SocketHandle socket, bool enabled) override {
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
    sockaddr_in address{};
    iovec part{buffer, size};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    ssize_t n = ::recvmsg(Fd(socket), &message, 0);
    // A receive timeout shows as EAGAIN here and as a time-out on Windows.
    if (n < 0) return {0, errno == EAGAIN ? wsa::kTimedOut : ToWsa(errno)};
    from = FromSockaddr(address);
    // Winsock fails a receive whose datagram did not fit; do the same here.
    if (message.msg_flags & MSG_TRUNC) return {0, wsa::kMessageSize};
    return {static_cast<long>(n), 0};
  }

  IoResult SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                  Ipv4Endpoint to) override {
    sockaddr_in address = ToSockaddr(to);
    ssize_t n = ::sendto(Fd(socket), data, size, MSG_NOSIGNAL,
                         reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (n < 0) return {0, ToWsa(errno)};
    return {static_cast<long>(n), 0};
  }

  int Connect(SocketHandle socket, Ipv4Endpoint to, int timeout_ms) override {
    int fd = Fd(socket);
    int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    sockaddr_in address = ToSockaddr(to);
    int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int error = 0;
    if (rc != 0 && errno != EINPROGRESS) {
      error = ToWsa(errno);
    } else if (rc != 0) {
      pollfd pfd{fd, POLLOUT, 0};
      if (::poll(&pfd, 1, timeout_ms) <= 0) {
        error = wsa::kTimedOut;
      } else {
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        error = ToWsa(error);
      }
    }
    ::fcntl(fd, F_SETFL, flags);
    return error;
  }

  IoResult Receive(SocketHandle socket, std::uint8_t* buffer, std::size_t size) override {
    ssize_t n = ::recv(Fd(socket), buffer, size, 0);
    if (n < 0) return {0, ToWsa(errno)};
    return {static_cast<long>(n), 0};
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

  std::string HardwareAddress(std::uint32_t address) override {
    // "IP address  HW type  Flags  HW address  Mask  Device", one line each.
    std::FILE* table = std::fopen("/proc/net/arp", "r");
    if (table == nullptr) return "";
    char line[256];
    std::string found;
    while (found.empty() && std::fgets(line, sizeof line, table) != nullptr) {
      char ip[64], type[16], flags[16], hardware[64];
      std::uint32_t parsed = 0;
      if (std::sscanf(line, "%63s %15s %15s %63s", ip, type, flags, hardware) == 4 &&
          Ipv4FromText(ip, parsed) && parsed == address && std::strcmp(flags, "0x0") != 0) {
        found = hardware;
        std::replace(found.begin(), found.end(), ':', '-');
      }
    }
    std::fclose(table);
    return found;
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
