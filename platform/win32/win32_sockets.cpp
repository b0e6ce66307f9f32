// Winsock behind the sockets interface.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <mswsock.h>
#include <windows.h>

#include <cstring>

#include "platform/sockets.h"

#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif
#ifndef SIO_UDP_NETRESET
#define SIO_UDP_NETRESET _WSAIOW(IOC_VENDOR, 15)
#endif

namespace platform {
namespace {

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

SOCKET S(SocketHandle socket) { return static_cast<SOCKET>(socket); }
int Result(int rc) { return rc == 0 ? 0 : WSAGetLastError(); }

class WinsockSockets final : public ISockets {
 public:
  int Startup() override {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }
  void Cleanup() override { WSACleanup(); }
  int LastError() override { return WSAGetLastError(); }

  std::string ErrorText(int error) override {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n')) text[--n] = 0;
    return text;
  }

  SocketHandle OpenUdp() override { return Open(SOCK_DGRAM); }
  SocketHandle OpenTcp() override { return Open(SOCK_STREAM); }

  int Bind(SocketHandle socket, Ipv4Endpoint local) override {
    sockaddr_in address = ToSockaddr(local);
    return Result(::bind(S(socket), reinterpret_cast<sockaddr*>(&address), sizeof address));
  }

  int LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) override {
    sockaddr_in address{};
    int length = sizeof address;
    int rc = ::getsockname(S(socket), reinterpret_cast<sockaddr*>(&address), &length);
    if (rc == 0) local = FromSockaddr(address);
    return Result(rc);
  }

  int SetBroadcast(SocketHandle socket, bool enabled) override {
    BOOL value = enabled ? TRUE : FALSE;
    return Result(::setsockopt(S(socket), SOL_SOCKET, SO_BROADCAST,
                               reinterpret_cast<const char*>(&value), sizeof value));
  }

  void DisableUdpResetReports(SocketHandle socket) override {
    // Best effort: the listener tolerates the resets anyway, so a system without
    // these controls only costs one failed receive per reset.
    BOOL off = FALSE;
    DWORD returned = 0;
    WSAIoctl(S(socket), SIO_UDP_CONNRESET, &off, sizeof off, nullptr, 0, &returned, nullptr,
             nullptr);
    WSAIoctl(S(socket), SIO_UDP_NETRESET, &off, sizeof off, nullptr, 0, &returned, nullptr,
             nullptr);
  }

  int SetReceiveTimeout(SocketHandle socket, int timeout_ms) override {
    DWORD timeout = static_cast<DWORD>(timeout_ms);
    return Result(::setsockopt(S(socket), SOL_SOCKET, SO_RCVTIMEO,
                               reinterpret_cast<const char*>(&timeout), sizeof timeout));
  }

  int WaitReadable(const std::vector<SocketHandle>& sockets, int timeout_ms,
                   std::vector<bool>& ready) override {
    fd_set set;
    FD_ZERO(&set);
    for (SocketHandle socket : sockets) FD_SET(S(socket), &set);
    timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    int rc = ::select(0, &set, nullptr, nullptr, &timeout);
    ready.assign(sockets.size(), false);
    if (rc <= 0) return rc < 0 ? -1 : 0;
    for (std::size_t i = 0; i < sockets.size(); ++i) ready[i] = FD_ISSET(S(sockets[i]), &set);
    return rc;
  }

  IoResult ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                       Ipv4Endpoint& from) override {
    sockaddr_in address{};
    int length = sizeof address;
    int n = ::recvfrom(S(socket), reinterpret_cast<char*>(buffer), static_cast<int>(size), 0,
                       reinterpret_cast<sockaddr*>(&address), &length);
    if (n == SOCKET_ERROR) return {0, WSAGetLastError()};
    from = FromSockaddr(address);
    return {n, 0};
  }

  IoResult SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                  Ipv4Endpoint to) override {
    sockaddr_in address = ToSockaddr(to);
    int n = ::sendto(S(socket), reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                     reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (n == SOCKET_ERROR) return {0, WSAGetLastError()};
    return {n, 0};
  }

  int Connect(SocketHandle socket, Ipv4Endpoint to, int timeout_ms) override {
    u_long nonblocking = 1;
    ioctlsocket(S(socket), FIONBIO, &nonblocking);
    sockaddr_in address = ToSockaddr(to);
    int error = 0;
    if (::connect(S(socket), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      error = WSAGetLastError();
      if (error == WSAEWOULDBLOCK) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(S(socket), &writable);
        FD_SET(S(socket), &failed);
        timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
        int rc = ::select(0, nullptr, &writable, &failed, &timeout);
        if (rc <= 0) {
          error = WSAETIMEDOUT;
        } else if (FD_ISSET(S(socket), &failed)) {
          int length = sizeof error;
          getsockopt(S(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        } else {
          error = 0;
        }
      }
    }
    nonblocking = 0;
    ioctlsocket(S(socket), FIONBIO, &nonblocking);
    return error;
  }

  IoResult Receive(SocketHandle socket, std::uint8_t* buffer, std::size_t size) override {
    int n = ::recv(S(socket), reinterpret_cast<char*>(buffer), static_cast<int>(size), 0);
    if (n == SOCKET_ERROR) return {0, WSAGetLastError()};
    return {n, 0};
  }

  void Shutdown(SocketHandle socket) override { ::shutdown(S(socket), SD_BOTH); }
  void Close(SocketHandle socket) override { ::closesocket(S(socket)); }

  bool Resolve(const std::string& host, std::uint32_t& address) override {
    if (Ipv4FromText(host, address)) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
      return false;
    }
    address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return true;
  }

  std::vector<std::uint32_t> HostAddresses(const std::string& name) override {
    std::vector<std::uint32_t> result;
    const hostent* host = gethostbyname(name.c_str());
    if (host == nullptr || host->h_addrtype != AF_INET) return result;
    for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
      in_addr address;
      std::memcpy(&address, *entry, sizeof address);
      result.push_back(ntohl(address.s_addr));
    }
    return result;
  }

  std::vector<Ipv4Interface> Interfaces() override {
    std::vector<Ipv4Interface> result;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return result;
    std::vector<unsigned char> storage(size);
    auto* adapters = reinterpret_cast<IP_ADAPTER_INFO*>(storage.data());
    if (GetAdaptersInfo(adapters, &size) != NO_ERROR) return result;
    for (IP_ADAPTER_INFO* adapter = adapters; adapter; adapter = adapter->Next) {
      for (IP_ADDR_STRING* ip = &adapter->IpAddressList; ip; ip = ip->Next) {
        Ipv4Interface entry;
        if (Ipv4FromText(ip->IpAddress.String, entry.address) &&
            Ipv4FromText(ip->IpMask.String, entry.netmask) && entry.address != 0) {
          result.push_back(entry);
        }
      }
    }
    // The adapter list leaves out loopback; the host answers on it all the same.
    result.push_back({0x7F000001u, 0xFF000000u});
    return result;
  }

 private:
  static SocketHandle Open(int type) {
    SOCKET s = ::socket(AF_INET, type, 0);
    return s == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(s);
  }
};

}  // namespace

ISockets& SystemSockets() {
  static WinsockSockets sockets;
  return sockets;
}

}  // namespace platform
