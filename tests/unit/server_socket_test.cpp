// The presence server alone, over the stream server double: who may stay,
// how many, and that every socket it took is closed again.
#include "presence/server_socket.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/framework_error.h"
#include "tests/doubles/fake_shell_services.h"

namespace {

using platform::StreamEvent;

struct Server {
  doubles::FakeStreamServer tcp;
  presence::TServerSocket server{tcp};
  std::vector<std::string> events;

  Server() {
    server.OnClientConnect = [this](presence::TServerSocket&, presence::TCustomWinSocket& s) {
      events.push_back("connect " + s.RemoteAddress());
    };
    server.OnClientDisconnect = [this](presence::TServerSocket&, presence::TCustomWinSocket& s) {
      events.push_back("disconnect " + s.RemoteAddress());
    };
    server.SetActive(true);
  }
};

TEST(ServerSocket, ConnectionsBeyondTheCapAreClosedAtOnce) {
  Server s;
  s.server.MaxConnections = 2;
  s.tcp.ConnectMany(5);
  EXPECT_EQ(s.server.ConnectionCount(), 2u);
  EXPECT_EQ(s.server.Refused(), 3u);
  EXPECT_EQ(s.tcp.open.size(), 3u) << "the listener and the two it kept";
}

TEST(ServerSocket, APeerTheFilterRefusesIsClosedWithoutAnEvent) {
  Server s;
  s.server.AcceptFilter = [](std::uint32_t peer) { return peer != 0x0A000001u; };
  s.tcp.Connect(0x0A000001u);
  s.tcp.Connect(0xC0A80107u);
  EXPECT_EQ(s.events, (std::vector<std::string>{"connect 192.168.1.7"}));
  EXPECT_EQ(s.server.Refused(), 1u);
  EXPECT_EQ(s.tcp.open.size(), 2u);
}

TEST(ServerSocket, ADeviceThatLeftFreesItsPlaceBeforeANewOneIsRefused) {
  Server s;
  s.server.MaxConnections = 1;
  const platform::SocketHandle first = s.tcp.Connect(0xC0A80105u);
  s.tcp.gone.insert(first);  // its close notification has not come yet
  s.tcp.Connect(0xC0A80106u);
  EXPECT_EQ(s.events, (std::vector<std::string>{"connect 192.168.1.5", "disconnect 192.168.1.5",
                                                "connect 192.168.1.6"}));
  EXPECT_EQ(s.tcp.open.count(first), 0u);
}

TEST(ServerSocket, ALateNotificationForAClosedConnectionIsIgnored) {
  Server s;
  const platform::SocketHandle socket = s.tcp.Connect();
  s.tcp.Raise(socket, StreamEvent::Close);
  s.tcp.Raise(socket, StreamEvent::Close);
  s.tcp.Raise(socket, StreamEvent::Read);
  EXPECT_EQ(s.events,
            (std::vector<std::string>{"connect 192.168.1.10", "disconnect 192.168.1.10"}));
}

TEST(ServerSocket, ADisconnectHandlerThatThrowsStillClosesTheSocket) {
  Server s;
  s.server.OnClientDisconnect = [](presence::TServerSocket&, presence::TCustomWinSocket&) {
    throw platform::EFrameworkError("refused");
  };
  const platform::SocketHandle socket = s.tcp.Connect();
  EXPECT_THROW(s.tcp.Raise(socket, StreamEvent::Close), platform::EFrameworkError);
  EXPECT_EQ(s.tcp.open.count(socket), 0u);
  EXPECT_EQ(s.server.ConnectionCount(), 0u);
}

TEST(ServerSocket, EverySocketIsClosedWhenTheServerStopsOrGoes) {
  {
    Server s;
    s.tcp.ConnectMany(3);
    s.server.SetActive(false);
    EXPECT_TRUE(s.tcp.open.empty());
    EXPECT_EQ(s.events.size(), 3u) << "no disconnect events while shutting down";
  }
  doubles::FakeStreamServer tcp;
  {
    presence::TServerSocket server{tcp};
    server.SetActive(true);
    tcp.ConnectMany(2);
  }
  EXPECT_TRUE(tcp.open.empty());
}

TEST(ServerSocket, OneAddressHoldsAtMostItsShareButLoopbackIsNotHeldToIt) {
  Server s;
  s.tcp.next_peer = 0xC0A80105u;
  for (int i = 0; i < 6; ++i) s.tcp.Connect(0xC0A80105u);
  EXPECT_EQ(s.server.ConnectionCount(), 4u);
  for (int i = 0; i < 20; ++i) s.tcp.Connect(0x7F000001u);
  EXPECT_EQ(s.server.ConnectionCount(), 16u);
}

}  // namespace
