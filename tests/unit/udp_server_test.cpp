// The listener over real loopback sockets, and over the scripted double for the
// failures loopback cannot produce.
#include "protocol/udp_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "protocol/socket_error.h"
#include "tests/doubles/fake_sockets.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A plain client socket on 127.0.0.1.
class Client {
 public:
  Client() : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t length = sizeof local;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
    port_ = ntohs(local.sin_port);
    int big = 1 << 20;
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
  }
  ~Client() { ::close(fd_); }
  std::uint16_t Port() const { return port_; }

  void SendTo(std::uint16_t port, const Bytes& bytes) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    ASSERT_EQ(
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
        static_cast<ssize_t>(bytes.size()));
  }

  // The next datagram within the deadline, with the port it came from.
  bool Receive(Bytes& bytes, std::uint16_t& from_port, int deadline_ms) {
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, deadline_ms) <= 0) return false;
    bytes.resize(65536);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t n =
        ::recvfrom(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return false;
    bytes.resize(static_cast<std::size_t>(n));
    from_port = ntohs(from.sin_port);
    return true;
  }

 private:
  int fd_;
  std::uint16_t port_ = 0;
};

// A server on an ephemeral loopback port whose main thread is the test.
struct LoopbackServer {
  // Counts the hand-overs that wait for the main thread.
  std::atomic<int> wakes{0};
  protocol::TIdUDPServer server{platform::SystemSockets(), [this] { ++wakes; }};
  std::vector<Bytes> handled;

  LoopbackServer() {
    protocol::TIdSocketHandle binding;
    binding.IP = "127.0.0.1";
    binding.Port = 0;
    server.Bindings.push_back(binding);
  }
  std::uint16_t Port() const { return server.Bindings.front().Port; }

  // Plays the main thread until `count` datagrams were handled or the deadline passed.
  bool RunUntilHandled(std::size_t count, std::chrono::milliseconds deadline = 10s) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (handled.size() < count && std::chrono::steady_clock::now() < end) {
      server.Handover().WaitAndRun(20ms);
    }
    return handled.size() >= count;
  }
};

TEST(LoopbackListener, HandsEveryDatagramWholeAndInOrderToTheMainThread) {
  LoopbackServer s;
  const auto main_id = std::this_thread::get_id();
  bool all_on_main = true;
  s.server.OnUDPRead = [&](protocol::TIdUDPServer&, protocol::TStream& data,
                           protocol::TIdSocketHandle& binding) {
    all_on_main = all_on_main && std::this_thread::get_id() == main_id;
    EXPECT_EQ(binding.PeerIP, "127.0.0.1");
    EXPECT_EQ(data.Position(), 0u);
    Bytes bytes(data.Size());
    data.Read(bytes.data(), bytes.size());
    s.handled.push_back(bytes);
  };
  s.server.SetActive(true);
  ASSERT_NE(s.Port(), 0) << "the bound port is read back into the binding";
  Client client;
  Bytes largest(8192);
  for (std::size_t i = 0; i < largest.size(); ++i) largest[i] = static_cast<std::uint8_t>(i * 7);
  for (int i = 0; i < 50; ++i) client.SendTo(s.Port(), {0x15, 0x65, static_cast<std::uint8_t>(i)});
  client.SendTo(s.Port(), largest);
  ASSERT_TRUE(s.RunUntilHandled(51));
  for (int i = 0; i < 50; ++i) EXPECT_EQ(s.handled[i][2], i);
  EXPECT_EQ(s.handled[50], largest);
  EXPECT_TRUE(all_on_main);
}

TEST(LoopbackListener, DoesNotReceiveTheNextDatagramWhileAHandlerRuns) {
  LoopbackServer s;
  std::atomic<bool> in_handler{false};
  std::atomic<int> overlaps{0};
  s.server.OnUDPRead = [&](protocol::TIdUDPServer&, protocol::TStream& data,
                           protocol::TIdSocketHandle&) {
    if (in_handler.exchange(true)) ++overlaps;
    std::this_thread::sleep_for(30ms);  // a slow handler, such as a program start
    Bytes bytes(data.Size());
    data.Read(bytes.data(), bytes.size());
    s.handled.push_back(bytes);
    in_handler = false;
  };
  s.server.SetActive(true);
  Client client;
  client.SendTo(s.Port(), {1});
  client.SendTo(s.Port(), {2});
  ASSERT_TRUE(s.RunUntilHandled(2));
  EXPECT_EQ(overlaps, 0);
  EXPECT_EQ(s.handled[0], Bytes{1});
  EXPECT_EQ(s.handled[1], Bytes{2});
}

TEST(LoopbackListener, OversizedEmptyAndFailingDatagramsDoNotStopIt) {
  LoopbackServer s;
  s.server.OnUDPRead = [&](protocol::TIdUDPServer&, protocol::TStream& data,
                           protocol::TIdSocketHandle&) {
    Bytes bytes(data.Size());
    data.Read(bytes.data(), bytes.size());
    s.handled.push_back(bytes);
    if (bytes == Bytes{0xEE}) throw platform::EFrameworkError("Cannot open clipboard");
    if (bytes == Bytes{0xEF}) throw std::runtime_error("not a framework error");
  };
  s.server.SetActive(true);
  Client client;
  client.SendTo(s.Port(), Bytes(9000, 0x41));
  client.SendTo(s.Port(), {});
  client.SendTo(s.Port(), {0xEE});
  client.SendTo(s.Port(), {0xEF});
  client.SendTo(s.Port(), {0x01});
  ASSERT_TRUE(s.RunUntilHandled(3));
  EXPECT_EQ(s.handled, (std::vector<Bytes>{{0xEE}, {0xEF}, {0x01}}));
  EXPECT_GE(s.server.ReceiveErrors(), 2u) << "the 9000-byte and the empty datagram";
}

TEST(LoopbackListener, ReplyLeavesFromTheListeningPortToTheSendersPort) {
  LoopbackServer s;
  s.server.OnListenerRead = [&](protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                std::size_t size) {
    s.server.SendFrom(binding, {binding.PeerAddress, binding.PeerPort}, data, size);
    return true;
  };
  s.server.OnUDPRead = [&](protocol::TIdUDPServer&, protocol::TStream& data,
                           protocol::TIdSocketHandle&) {
    Bytes bytes(data.Size());
    data.Read(bytes.data(), bytes.size());
    s.handled.push_back(bytes);
  };
  s.server.SetActive(true);
  Client client;
  client.SendTo(s.Port(), {0x15, 0x65, 0x81});
  ASSERT_TRUE(s.RunUntilHandled(1));
  Bytes reply;
  std::uint16_t from = 0;
  ASSERT_TRUE(client.Receive(reply, from, 5000));
  EXPECT_EQ(reply, (Bytes{0x15, 0x65, 0x81}));
  EXPECT_EQ(from, s.Port());
}

TEST(LoopbackListener, SecondServerOnTheSamePortFailsWithTheAddressInUseMessage) {
  LoopbackServer first;
  first.server.SetActive(true);
  protocol::TIdUDPServer second(platform::SystemSockets(), {});
  protocol::TIdSocketHandle binding;
  binding.IP = "127.0.0.1";
  binding.Port = first.Port();
  second.Bindings.push_back(binding);
  try {
    second.SetActive(true);
    FAIL() << "bind succeeded twice";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), protocol::kAddressInUse);
  }
  EXPECT_FALSE(second.Active());
}

TEST(LoopbackListener, DeactivationEndsTheListenerWhileADatagramWaitsForTheMainThread) {
  LoopbackServer s;
  bool handled = false;
  s.server.OnUDPRead = [&](protocol::TIdUDPServer&, protocol::TStream&,
                           protocol::TIdSocketHandle&) { handled = true; };
  s.server.SetActive(true);
  Client client;
  client.SendTo(s.Port(), {1, 2, 3});
  // The wake-up means the listener now blocks in the hand-over.
  auto deadline = std::chrono::steady_clock::now() + 10s;
  while (s.wakes == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  ASSERT_EQ(s.wakes, 1);
  auto start = std::chrono::steady_clock::now();
  s.server.SetActive(false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_FALSE(handled);
  EXPECT_FALSE(s.server.Active());
}

// --- Failures through the scripted socket layer ---

struct ScriptedServer {
  doubles::FakeSockets sockets;
  protocol::TIdUDPServer server{sockets, {}};
  std::vector<Bytes> handled;

  void Start() {
    server.OnUDPRead = [&](protocol::TIdUDPServer&, protocol::TStream& data,
                           protocol::TIdSocketHandle&) {
      Bytes bytes(data.Size());
      data.Read(bytes.data(), bytes.size());
      handled.push_back(bytes);
    };
    server.SetActive(true);
  }
  bool RunUntilHandled(std::size_t count) {
    auto end = std::chrono::steady_clock::now() + 10s;
    while (handled.size() < count && std::chrono::steady_clock::now() < end) {
      server.Handover().WaitAndRun(20ms);
    }
    return handled.size() >= count;
  }
};

TEST(ScriptedListener, ResetReportsAfterARepliesToClosedPortsAreTolerated) {
  ScriptedServer s;
  s.Start();
  EXPECT_TRUE(s.sockets.reset_reports_disabled);
  EXPECT_FALSE(s.sockets.broadcast);
  EXPECT_EQ(s.sockets.bound.port, 1565);
  s.sockets.DeliverError(doubles::wsa::kConnectionReset);
  s.sockets.DeliverError(doubles::wsa::kNetReset);
  s.sockets.DeliverError(doubles::wsa::kMessageSize);
  s.sockets.DeliverError(doubles::wsa::kInterrupted);
  s.sockets.Deliver({0x15, 0x65, 0x80});
  ASSERT_TRUE(s.RunUntilHandled(1));
  EXPECT_EQ(s.handled[0], (Bytes{0x15, 0x65, 0x80}));
  EXPECT_EQ(s.server.ReceiveErrors(), 4u);
}

TEST(ScriptedListener, ActivationErrorsCarryTheFrameworkTexts) {
  struct Case {
    void (*arrange)(doubles::FakeSockets&, protocol::TIdUDPServer&);
    const char* message;
  };
  const Case cases[] = {
      {[](doubles::FakeSockets&, protocol::TIdUDPServer& server) { server.DefaultPort = 0; },
       protocol::kNoBindings},
      {[](doubles::FakeSockets&, protocol::TIdUDPServer& server) { server.Bindings.resize(2); },
       protocol::kOneBindingOnly},
      {[](doubles::FakeSockets& sockets, protocol::TIdUDPServer&) {
         sockets.startup_error = 10091;
       },
       protocol::kWinsockInitialization},
      {[](doubles::FakeSockets& sockets, protocol::TIdUDPServer&) { sockets.fail_open = true; },
       protocol::kCannotAllocateSocket},
      {[](doubles::FakeSockets& sockets, protocol::TIdUDPServer&) {
         sockets.bind_error = doubles::wsa::kAddressInUse;
       },
       protocol::kAddressInUse},
      {[](doubles::FakeSockets& sockets, protocol::TIdUDPServer&) { sockets.bind_error = 10013; },
       "Socket Error # 10013\r\nfake error 10013"},
  };
  for (const Case& c : cases) {
    doubles::FakeSockets sockets;
    protocol::TIdUDPServer server(sockets, {});
    c.arrange(sockets, server);
    try {
      server.SetActive(true);
      ADD_FAILURE() << "activated despite: " << c.message;
    } catch (const platform::EFrameworkError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
    EXPECT_FALSE(server.Active());
    EXPECT_EQ(sockets.open_sockets, 0) << "a failed activation leaves no socket open";
  }
}

}  // namespace

// The receive waits with no time limit, so deactivation must wake it.
TEST(ScriptedListener, DeactivationWakesTheReceiveWithADatagramToItsOwnPortNotHandedOver) {
  ScriptedServer s;
  s.Start();
  s.sockets.Deliver({0x15, 0x65, 0x80});
  ASSERT_TRUE(s.RunUntilHandled(1));
  ASSERT_TRUE(s.sockets.WaitUntilReceiving(10s));
  s.server.SetActive(false);
  EXPECT_GE(s.sockets.looped_back, 1);
  EXPECT_EQ(s.sockets.shutdowns, 0);
  EXPECT_EQ(s.handled.size(), 1u);
  EXPECT_TRUE(s.sockets.Sent().empty());
  EXPECT_FALSE(s.server.Active());
}

TEST(ScriptedListener, DeactivationEndsTheReceiveByShutdownWhenItsOwnDatagramsAreLost) {
  ScriptedServer s;
  s.sockets.loopback_filtered = true;
  s.Start();
  ASSERT_TRUE(s.sockets.WaitUntilReceiving(10s));
  s.server.SetActive(false);
  EXPECT_EQ(s.sockets.looped_back, protocol::TIdUDPServer::kWakeAttempts);
  EXPECT_EQ(s.sockets.shutdowns, 1);
  EXPECT_FALSE(s.server.Active());
}
