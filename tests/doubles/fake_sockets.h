#pragma once
// A scripted socket layer: datagrams (or receive errors) queued by the test are
// what the listener receives; what it sends is recorded.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sockets.h"
#include "platform/subscribers.h"
#include "tests/doubles/winsock_numbers.h"

namespace doubles {

struct Datagram {
  std::vector<std::uint8_t> bytes;
  platform::Ipv4Endpoint peer;
};

class FakeSockets final : public platform::ISockets {
 public:
  // Test side.
  void Deliver(std::vector<std::uint8_t> bytes, platform::Ipv4Endpoint from = {0x7F000001u, 40000});
  void DeliverError(int error);
  std::vector<Datagram> Sent();
  void ForgetSent();
  // Waits until `count` datagrams were sent or the deadline passes.
  bool WaitForSent(std::size_t count, std::chrono::milliseconds deadline);
  bool WaitUntilReceivedAll(std::chrono::milliseconds deadline);
  // Waits until a receive is blocked for want of a datagram.
  bool WaitUntilReceiving(std::chrono::milliseconds deadline);

  int startup_error = 0;
  bool fail_open = false;
  int bind_error = 0;
  int send_error = 0;
  long send_short_by = 0;
  std::vector<platform::Ipv4Interface> interfaces;
  int open_sockets = 0;

  // ISockets.
  int Startup() override {
    ++startups;
    return startup_error;
  }
  void Cleanup() override { ++cleanups; }
  int startups = 0;
  int cleanups = 0;
  std::string ErrorText(int number) override { return "fake error " + std::to_string(number); }
  platform::SocketError ErrorOf(platform::SocketFailure failure) override {
    return WsaErrorOf(failure);
  }
  platform::SocketHandle OpenUdp() override;
  platform::SocketHandle OpenTcp() override { return platform::kNoSocket; }
  platform::SocketError Bind(platform::SocketHandle, platform::Ipv4Endpoint local) override;
  platform::SocketError LocalEndpoint(platform::SocketHandle,
                                      platform::Ipv4Endpoint& local) override;
  platform::SocketError SetBroadcast(platform::SocketHandle, bool enabled) override;
  void DisableUdpResetReports(platform::SocketHandle) override { reset_reports_disabled = true; }
  int WaitReadable(const std::vector<platform::SocketHandle>& sockets, int timeout_ms,
                   std::vector<bool>& ready) override;
  platform::IoResult ReceiveFrom(platform::SocketHandle, std::uint8_t* buffer, std::size_t size,
                                 platform::Ipv4Endpoint& from) override;
  platform::IoResult PeekFrom(platform::SocketHandle, std::uint8_t* buffer, std::size_t size,
                              platform::Ipv4Endpoint& from) override;
  platform::IoResult SendTo(platform::SocketHandle, const std::uint8_t* data, std::size_t size,
                            platform::Ipv4Endpoint to) override;
  platform::SocketError Connect(platform::SocketHandle, platform::Ipv4Endpoint, int) override {
    return WsaError(wsa::kConnectionRefused);
  }
  platform::IoResult Receive(platform::SocketHandle, std::uint8_t*, std::size_t) override {
    return {0, WsaError(wsa::kNotConnected)};
  }
  void Shutdown(platform::SocketHandle) override;
  void Close(platform::SocketHandle) override;
  bool Resolve(const std::string& host, std::uint32_t& address) override {
    return platform::Ipv4FromText(host, address);
  }
  std::vector<std::uint32_t> HostAddresses(const std::string& name) override {
    resolved_names.push_back(name);
    return host_addresses;
  }
  std::vector<platform::Ipv4Interface> Interfaces() override;
  std::string HostNameOf(std::uint32_t address) override {
    std::lock_guard lock(mutex_);
    auto found = host_names.find(address);
    return found == host_names.end() ? "" : found->second;
  }
  std::map<std::uint32_t, std::string> host_names;  // what reverse lookups find
  std::vector<platform::Neighbour> Neighbours() override;
  platform::WatchToken WatchAddressChanges(std::function<void()> changed) override;
  void UnwatchAddressChanges(platform::WatchToken token) override;
  // The system reports an address change: every watch is called.
  void ChangeAddresses() { address_watches_.CallAll(); }
  std::size_t AddressWatches() { return address_watches_.Count(); }
  std::map<std::uint32_t, std::string> neighbours;  // the neighbour table
  int neighbour_reads = 0;
  std::vector<std::uint32_t> host_addresses = {0xC0A80114u};  // 192.168.1.20
  std::vector<std::string> resolved_names;

  bool reset_reports_disabled = false;
  int looped_back = 0;             // datagrams sent to the bound port itself
  bool loopback_filtered = false;  // such datagrams are lost
  int shutdowns = 0;
  int peeks = 0;
  int binds = 0;
  bool broadcast = true;
  int interface_reads = 0;
  platform::Ipv4Endpoint bound;

 private:
  platform::TSubscribers address_watches_;
  struct Incoming {
    Datagram datagram;
    int error = 0;
  };
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Incoming> incoming_;
  std::vector<Datagram> sent_;
  bool shut_down_ = false;
  int receiving_ = 0;
};

}  // namespace doubles
