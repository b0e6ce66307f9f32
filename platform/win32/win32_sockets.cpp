// Winsock behind the sockets interface.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <mswsock.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <netioapi.h>

#include "platform/ipv4.h"
#include "platform/sockets.h"
#include "platform/subscribers.h"
#include "platform/win32/win32_socket_error.h"
#include "platform/win32/win32_system_message.h"
#include "platform/win32/win32_text.h"

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

std::string Narrow(const wchar_t* text) {
  if (text == nullptr || *text == 0) return "";
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(size - 1));
  return narrow;
}
SocketError Result(int rc) { return rc == 0 ? SocketError{} : win32::LastWinsockError(); }

class WinsockSockets final : public ISockets {
 public:
  int Startup() override {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }
  void Cleanup() override { WSACleanup(); }
  std::string ErrorText(int number) override {
    return win32::SystemMessageText(static_cast<DWORD>(number));
  }
  SocketError ErrorOf(SocketFailure failure) override { return win32::WinsockErrorOf(failure); }

  SocketHandle OpenUdp() override { return Open(SOCK_DGRAM); }
  SocketHandle OpenTcp() override { return Open(SOCK_STREAM); }

  SocketError Bind(SocketHandle socket, Ipv4Endpoint local) override {
    sockaddr_in address = ToSockaddr(local);
    return Result(::bind(S(socket), reinterpret_cast<sockaddr*>(&address), sizeof address));
  }

  SocketError LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) override {
    sockaddr_in address{};
    int length = sizeof address;
    int rc = ::getsockname(S(socket), reinterpret_cast<sockaddr*>(&address), &length);
    if (rc == 0) local = FromSockaddr(address);
    return Result(rc);
  }

  SocketError SetBroadcast(SocketHandle socket, bool enabled) override {
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
    return ReceiveDatagram(socket, buffer, size, from, 0);
  }

  IoResult PeekFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                    Ipv4Endpoint& from) override {
    return ReceiveDatagram(socket, buffer, size, from, MSG_PEEK);
  }

  static IoResult ReceiveDatagram(SocketHandle socket, std::uint8_t* buffer, std::size_t size,
                                  Ipv4Endpoint& from, int flags) {
    sockaddr_in address{};
    int length = sizeof address;
    int n = ::recvfrom(S(socket), reinterpret_cast<char*>(buffer), static_cast<int>(size), flags,
                       reinterpret_cast<sockaddr*>(&address), &length);
    if (n == SOCKET_ERROR) return {0, win32::LastWinsockError()};
    from = FromSockaddr(address);
    return {n, {}};
  }

  IoResult SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                  Ipv4Endpoint to) override {
    sockaddr_in address = ToSockaddr(to);
    int n = ::sendto(S(socket), reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                     reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (n == SOCKET_ERROR) return {0, win32::LastWinsockError()};
    return {n, {}};
  }

  SocketError Connect(SocketHandle socket, Ipv4Endpoint to, int timeout_ms) override {
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
    return win32::WinsockError(error);
  }

  IoResult Receive(SocketHandle socket, std::uint8_t* buffer, std::size_t size) override {
    int n = ::recv(S(socket), reinterpret_cast<char*>(buffer), static_cast<int>(size), 0);
    if (n == SOCKET_ERROR) return {0, win32::LastWinsockError()};
    return {n, {}};
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

  // The wide call: a name beyond the code page's letters comes back whole.
  std::string HostNameOf(std::uint32_t address) override {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(address);
    wchar_t name[NI_MAXHOST] = {};
    if (GetNameInfoW(reinterpret_cast<sockaddr*>(&peer), sizeof peer, name, NI_MAXHOST, nullptr, 0,
                     NI_NAMEREQD) != 0) {
      return "";
    }
    return win32::WideToUtf8(name);
  }

  std::vector<Ipv4Interface> Interfaces() override {
    std::vector<Ipv4Interface> result;
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                             GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_FRIENDLY_NAME;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> storage;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    // The list may grow between the calls: a few tries.
    for (int attempt = 0; attempt < 3 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
      storage.resize(size);
      status = GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                    reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data()), &size);
    }
    if (status == NO_ERROR) {
      for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data()); adapter;
           adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
          if (unicast->Address.lpSockaddr->sa_family != AF_INET) continue;
          Ipv4Interface entry;
          entry.address = ntohl(
              reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr)->sin_addr.s_addr);
          const unsigned prefix = unicast->OnLinkPrefixLength;
          entry.netmask = MaskOfPrefix(prefix);
          entry.up = adapter->OperStatus == IfOperStatusUp;
          entry.tunnel = adapter->TunnelType != TUNNEL_TYPE_NONE;
          entry.interface_type = adapter->IfType;
          entry.description = Narrow(adapter->Description);
          if (entry.address != 0) result.push_back(entry);
        }
      }
    }
    // Some systems leave loopback out; the host answers on it all the same.
    const bool has_loopback = std::any_of(result.begin(), result.end(), [](const Ipv4Interface& e) {
      return e.address == kLoopbackAddress;
    });
    if (!has_loopback) result.push_back({kLoopbackAddress, MaskOfPrefix(8)});
    return result;
  }

  std::vector<Neighbour> Neighbours() override {
    std::vector<Neighbour> neighbours;
    ULONG size = 0;
    if (GetIpNetTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER) return neighbours;
    std::vector<unsigned char> storage(size);
    auto* table = reinterpret_cast<MIB_IPNETTABLE*>(storage.data());
    if (GetIpNetTable(table, &size, FALSE) != NO_ERROR) return neighbours;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
      const MIB_IPNETROW& row = table->table[i];
      const bool usable =
          row.dwType == MIB_IPNET_TYPE_DYNAMIC || row.dwType == MIB_IPNET_TYPE_STATIC;
      if (!usable || row.dwPhysAddrLen != 6) continue;
      char text[18];
      std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", row.bPhysAddr[0],
                    row.bPhysAddr[1], row.bPhysAddr[2], row.bPhysAddr[3], row.bPhysAddr[4],
                    row.bPhysAddr[5]);
      neighbours.push_back({ntohl(row.dwAddr), text});
    }
    return neighbours;
  }

  // One registration with the system serves every watch and stays until the
  // process ends; the watches come and go in the subscriber list, whose
  // removal waits for a call that is running.
  WatchToken WatchAddressChanges(std::function<void()> changed) override {
    std::lock_guard lock(registration_mutex_);
    if (address_watch_ == nullptr &&
        NotifyUnicastIpAddressChange(AF_INET, &AddressChanged, this, FALSE, &address_watch_) !=
            NO_ERROR) {
      address_watch_ = nullptr;
      return kNoWatch;
    }
    return address_changed_.Add(std::move(changed));
  }

  void UnwatchAddressChanges(WatchToken token) override { address_changed_.Remove(token); }

  ~WinsockSockets() override {
    if (address_watch_ != nullptr) CancelMibChangeNotify2(address_watch_);
  }

 private:
  static SocketHandle Open(int type) {
    SOCKET s = ::socket(AF_INET, type, 0);
    return s == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(s);
  }
  static void WINAPI AddressChanged(void* context, MIB_UNICASTIPADDRESS_ROW*,
                                    MIB_NOTIFICATION_TYPE) {
    static_cast<WinsockSockets*>(context)->address_changed_.CallAll();
  }

  TSubscribers address_changed_;
  std::mutex registration_mutex_;
  HANDLE address_watch_ = nullptr;  // cancelled, not closed: CancelMibChangeNotify2 owns it
};

}  // namespace

ISockets& SystemSockets() {
  static WinsockSockets sockets;
  return sockets;
}

}  // namespace platform
