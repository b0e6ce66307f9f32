// The browser remote's server on loopback, driven by a Beast client as a
// browser would: the page and its headers, the rules each request must
// pass, the bounds, and a proved WebSocket whose commands reach the owner.
#include <gtest/gtest.h>

#include "platform/virtual_keys.h"

#include <utility>  // before Boost 1.74's Asio, which needs std::exchange

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "browser/browser_session.h"
#include "browser/paired_browsers.h"
#include "browser/web_server.h"
#include "platform/crypto.h"
#include "tests/doubles/browser_page_client.h"

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using platform::Bytes;

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr char kPageHtml[] = "<!doctype html><title>remote</title>";

platform::ICrypto& Crypto() { return platform::SystemCrypto(); }

class BrowserServer : public ::testing::Test {
 protected:
  void Start(browser::ServerLimits limits = {}) {
    browser::ServerHooks hooks;
    hooks.may_connect = [this](std::uint32_t peer) { return peer == kLoopback && nearby; };
    hooks.addresses = [] { return std::vector<std::uint32_t>{kLoopback}; };
    hooks.command = [this](std::uint32_t, const std::string& id, const service::Ask& command) {
      std::lock_guard lock(mutex);
      commands.push_back({id, command});
      changed.notify_all();
    };
    hooks.noted = [this](std::uint32_t, browser::ServerNote note) {
      std::lock_guard lock(mutex);
      notes.push_back(note);
      changed.notify_all();
    };
    hooks.now_ms = [] { return 1000; };
    server.emplace(Crypto(), keys,
                   std::vector<browser::PageFile>{{"/", "text/html; charset=utf-8", kPageHtml}},
                   hooks, limits);
    std::string error;
    ASSERT_TRUE(server->Start(0, error)) << error;
    host = "127.0.0.1:" + std::to_string(server->Port());
  }

  tcp::socket Connect() {
    tcp::socket socket(io);
    socket.connect({asio::ip::address_v4::loopback(), server->Port()});
    return socket;
  }

  http::response<http::string_body> Get(const std::string& target, const std::string& host_field) {
    beast::tcp_stream stream(Connect());
    http::request<http::empty_body> request(http::verb::get, target, 11);
    if (!host_field.empty()) request.set(http::field::host, host_field);
    http::write(stream, request);
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(stream, buffer, response);
    return response;
  }

  // Whether the server closed the socket without a byte of answer.
  static bool ClosedWithoutAnswer(tcp::socket& socket) {
    char byte;
    beast::error_code error;
    socket.read_some(asio::buffer(&byte, 1), error);
    return error == asio::error::eof || error == asio::error::connection_reset;
  }

  // Looks again every few milliseconds: the server's count changes on its
  // own thread, with nobody to wake the test.
  bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::unique_lock lock(mutex);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      changed.wait_for(lock, std::chrono::milliseconds(5));
    }
    return true;
  }

  struct Arrived {
    std::string id;
    service::Ask command;
  };

  asio::io_context io;
  browser::TKeyRing keys;
  std::optional<browser::TWebServer> server;
  std::string host;
  bool nearby = true;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Arrived> commands;
  std::vector<browser::ServerNote> notes;
};

TEST_F(BrowserServer, ServesThePageWithAPolicyThatLoadsNothingFromElsewhere) {
  Start();
  const auto response = Get("/", host);
  EXPECT_EQ(response.result(), http::status::ok);
  EXPECT_EQ(response.body(), kPageHtml);
  const std::string policy(response["Content-Security-Policy"]);
  EXPECT_NE(policy.find("default-src 'none'"), std::string::npos);
  EXPECT_NE(policy.find("frame-ancestors 'none'"), std::string::npos);
  EXPECT_NE(policy.find("connect-src ws://" + host + ";"), std::string::npos);
  EXPECT_EQ(response["X-Content-Type-Options"], "nosniff");
  EXPECT_EQ(Get("/missing", host).result(), http::status::not_found);
}

TEST_F(BrowserServer, ARequestThatDoesNotNameThisPcIsRefused) {
  Start();
  for (const std::string& forged :
       {std::string("evil.example:1566"), std::string("127.0.0.1:1"), std::string("127.0.0.1"),
        std::string("localhost:") + std::to_string(server->Port()), std::string("")}) {
    SCOPED_TRACE(forged);
    EXPECT_EQ(Get("/", forged).result(), http::status::misdirected_request);
  }
}

TEST_F(BrowserServer, AWebSocketFromAnotherOriginIsRefused) {
  Start();
  for (const std::string& origin : {std::string("http://evil.example"), "https://" + host,
                                    std::string("null"), std::string()}) {
    SCOPED_TRACE(origin);
    websocket::stream<tcp::socket> socket(Connect());
    socket.set_option(websocket::stream_base::decorator([&](websocket::request_type& request) {
      if (!origin.empty()) request.set(http::field::origin, origin);
    }));
    beast::error_code error;
    socket.handshake(host, "/ws", error);
    EXPECT_TRUE(error);
  }
}

TEST_F(BrowserServer, AHeaderLargerThan8KbClosesTheConnection) {
  Start();
  beast::tcp_stream stream(Connect());
  http::request<http::empty_body> request(http::verb::get, "/", 11);
  request.set(http::field::host, host);
  request.set("X-Padding", std::string(9000, 'a'));
  beast::error_code error;
  http::write(stream, request, error);
  beast::flat_buffer buffer;
  http::response<http::string_body> response;
  http::read(stream, buffer, response, error);
  EXPECT_TRUE(error);
  EXPECT_TRUE(WaitFor([&] { return notes.size() == 1; }));
}

TEST_F(BrowserServer, AFarAddressIsClosedBeforeAByteIsRead) {
  nearby = false;
  Start();
  tcp::socket socket = Connect();
  EXPECT_TRUE(ClosedWithoutAnswer(socket));
}

TEST_F(BrowserServer, AnAddressHoldsAtMostFourConnections) {
  Start();
  std::vector<tcp::socket> held;
  for (int i = 0; i < 4; ++i) held.push_back(Connect());
  ASSERT_TRUE(WaitFor([&] { return server->Connections() == 4; }));
  tcp::socket fifth = Connect();
  EXPECT_TRUE(ClosedWithoutAnswer(fifth));
  EXPECT_TRUE(
      WaitFor([&] { return notes == std::vector{browser::ServerNote::TooManyConnections}; }));
  held.pop_back();
  ASSERT_TRUE(WaitFor([&] { return server->Connections() == 3; }));
  tcp::socket again = Connect();
  EXPECT_TRUE(WaitFor([&] { return server->Connections() == 4; }));
}

TEST_F(BrowserServer, AConnectionThatSendsNothingIsClosed) {
  browser::ServerLimits limits;
  limits.request_seconds = 1;
  Start(limits);
  tcp::socket socket = Connect();
  const auto began = std::chrono::steady_clock::now();
  EXPECT_TRUE(ClosedWithoutAnswer(socket));
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
}

TEST_F(BrowserServer, AProvedBrowsersCommandsArriveAndAReplayEndsItsConnection) {
  const Bytes key(32, 0x21);
  keys.Add(browser::BrowserIdOf(Crypto(), key), key);
  Start();
  doubles::PageClient page(server->Port(), host, key);
  ASSERT_TRUE(page.Prove());
  const Bytes enter = page.Sealed({'K', 2});
  page.Send(enter);
  ASSERT_TRUE(WaitFor([&] { return commands.size() == 1; }));
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(commands[0].command, service::Ask(service::KeyPress{platform::vk::Enter, 0}));
    EXPECT_EQ(commands[0].id, browser::BrowserIdOf(Crypto(), key));
  }

  page.Send(enter);
  EXPECT_EQ(page.ClosedBecause(), browser::kRefused);
  std::lock_guard lock(mutex);
  EXPECT_EQ(commands.size(), 1u);
}

// Idle after 2 s here: a page that answers the pings stays open well past
// it; one that answers nothing is closed.
TEST_F(BrowserServer, AQuietPageThatAnswersPingsStaysAndOneThatDoesNotIsClosed) {
  const Bytes key(32, 0x23);
  keys.Add(browser::BrowserIdOf(Crypto(), key), key);
  browser::ServerLimits limits;
  limits.idle_seconds = 2;
  Start(limits);
  doubles::PageClient listening(server->Port(), host, key);
  ASSERT_TRUE(listening.Prove());
  std::atomic<bool> ended{false};
  std::thread reader([&] {
    listening.ClosedBecause();  // reading answers the pings
    ended = true;
  });
  doubles::PageClient silent(server->Port(), host, key);
  ASSERT_TRUE(silent.Prove());
  // The silent page's socket is not read: its pongs never go out.
  EXPECT_TRUE(WaitFor([&] { return server->Connections() == 1; }));
  std::this_thread::sleep_for(std::chrono::seconds(5));
  EXPECT_FALSE(ended) << "a page that answers pings was closed";
  EXPECT_EQ(server->Connections(), 1u);
  server->Stop();
  reader.join();
}

TEST_F(BrowserServer, AnUnknownBrowserIsToldItWasForgotten) {
  Start();
  doubles::PageClient page(server->Port(), host, Bytes(32, 0x22));
  EXPECT_FALSE(page.Prove());
  EXPECT_STREQ(page.socket().reason().reason.c_str(), browser::kForgotten);
  EXPECT_TRUE(WaitFor([&] { return notes == std::vector{browser::ServerNote::UnknownBrowser}; }));
}

// Neither a page that leaves after the challenge nor a hello too large to
// read goes unseen: each counts as a failed proof and is noted once.
TEST_F(BrowserServer, AConnectionThatEndsWithoutAProofIsCountedAndNoted) {
  Start();
  {
    doubles::PageClient leaving(server->Port(), host, Bytes(32, 0x21));
    boost::beast::error_code error;
    EXPECT_EQ(leaving.Read(error).size(), browser::kNonceBytes);
    leaving.socket().next_layer().close();
  }
  ASSERT_TRUE(WaitFor([&] { return notes == std::vector{browser::ServerNote::ProofRefused}; }));
  doubles::PageClient oversized(server->Port(), host, Bytes(32, 0x21));
  boost::beast::error_code error;
  oversized.Read(error);
  oversized.Send(Bytes(browser::kLongestBrowserText + 200, 'x'));
  EXPECT_TRUE(WaitFor([&] { return notes.size() == 2; }));
  EXPECT_EQ(notes.back(), browser::ServerNote::ProofRefused);
  for (int i = 0; i < 3; ++i) {
    doubles::PageClient leaving(server->Port(), host, Bytes(32, 0x21));
    leaving.Read(error);
    leaving.socket().next_layer().close();
    ASSERT_TRUE(WaitFor([&] { return notes.size() == 3u + i; }));
  }
  // Five ends in the minute: the sixth connection is refused its challenge.
  doubles::PageClient sixth(server->Port(), host, Bytes(32, 0x21));
  EXPECT_TRUE(sixth.Read(error).empty());
  EXPECT_TRUE(WaitFor([&] { return notes.back() == browser::ServerNote::TooManyFailures; }));
}

TEST_F(BrowserServer, StopClosesWhatIsOpen) {
  Start();
  tcp::socket socket = Connect();
  ASSERT_TRUE(WaitFor([&] { return server->Connections() == 1; }));
  server->Stop();
  EXPECT_TRUE(ClosedWithoutAnswer(socket));
}

}  // namespace
