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
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
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

// Sockets that never prove anything hold no place against a page that does:
// the oldest of them is closed for the newcomer, whether the address's four
// or all the places are taken. Proved places are kept: with every place
// proved, a newcomer is refused.
TEST_F(BrowserServer, TheOldestUnprovedPlaceGoesToANewcomerAndProvedOnesAreKept) {
  const Bytes key(32, 0x24);
  keys.Add(browser::BrowserIdOf(Crypto(), key), key);
  struct Case {
    const char* what;
    std::size_t per_address, total;
  } cases[] = {{"the address's four", 4, 16}, {"all the places", 8, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server.reset();
    notes.clear();
    browser::ServerLimits limits;
    limits.per_address = c.per_address;
    limits.total = c.total;
    Start(limits);
    std::vector<tcp::socket> squatters;
    for (int i = 0; i < 4; ++i) {
      squatters.push_back(Connect());
      ASSERT_TRUE(WaitFor([&] { return server->Connections() == squatters.size(); }));
    }
    std::vector<std::unique_ptr<doubles::PageClient>> pages;
    for (std::size_t i = 0; i < 4; ++i) {
      pages.push_back(std::make_unique<doubles::PageClient>(server->Port(), host, key));
      ASSERT_TRUE(pages.back()->Prove()) << "page " << i;
      EXPECT_TRUE(ClosedWithoutAnswer(squatters[i])) << "the oldest squatter, " << i;
    }
    EXPECT_EQ(server->Connections(), 4u);
    tcp::socket fifth = Connect();
    EXPECT_TRUE(ClosedWithoutAnswer(fifth)) << "every place is proved";
    EXPECT_TRUE(WaitFor([&] {
      return std::count(notes.begin(), notes.end(), browser::ServerNote::TooManyConnections) == 5;
    }));
  }
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

// Neither answering the pings nor sending endless fragments of a message
// keeps an unproved socket open past its time.
TEST_F(BrowserServer, AnUnprovedSocketEndsOnTimeWhateverItSends) {
  browser::ServerLimits limits;
  limits.idle_seconds = 1;  // pings every half second
  limits.proof_seconds = 3;
  Start(limits);
  for (bool fragments : {false, true}) {
    SCOPED_TRACE(fragments ? "fragments" : "pongs");
    {
      std::lock_guard lock(mutex);
      notes.clear();
    }
    doubles::PageClient squatter(server->Port(), host, Bytes(32, 0x25));
    boost::beast::error_code error;
    ASSERT_EQ(squatter.Read(error).size(), browser::kNonceBytes);
    const auto began = std::chrono::steady_clock::now();
    if (fragments) {
      // Empty pieces of a message that never ends, ten a second.
      for (int i = 0; i < 200 && !error; ++i) {
        squatter.socket().write_some(false, asio::buffer("", 0), error);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    } else {
      std::atomic<bool> ended{false};
      std::thread reader([&] {
        squatter.ClosedBecause();  // reading answers every ping
        ended = true;
      });
      for (int i = 0; i < 150 && !ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      // Still open after 15 s: ended here, so that the test fails rather than hangs.
      if (!ended) squatter.socket().next_layer().shutdown(tcp::socket::shutdown_both, error);
      reader.join();
    }
    const auto lasted = std::chrono::steady_clock::now() - began;
    EXPECT_GE(lasted, std::chrono::seconds(2));
    EXPECT_LT(lasted, std::chrono::seconds(15));
    EXPECT_TRUE(WaitFor([&] { return notes == std::vector{browser::ServerNote::ProofRefused}; }))
        << "the end without a proof is counted";
  }
}

// Keep-alive serves a few requests, within a life of its own: a connection
// that keeps asking does not hold its place for good.
TEST_F(BrowserServer, AnHttpConnectionServesBoundedRequestsWithinItsLife) {
  browser::ServerLimits limits;
  limits.requests_per_connection = 3;
  limits.http_seconds = 2;
  Start(limits);
  auto ask = [&](beast::tcp_stream& stream, beast::error_code& error) {
    http::request<http::empty_body> request(http::verb::get, "/", 11);
    request.set(http::field::host, host);
    request.keep_alive(true);
    http::write(stream, request, error);
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    if (!error) http::read(stream, buffer, response, error);
    return !error && response.keep_alive();
  };
  beast::tcp_stream counted(Connect());
  beast::error_code error;
  EXPECT_TRUE(ask(counted, error));
  EXPECT_TRUE(ask(counted, error));
  EXPECT_FALSE(ask(counted, error)) << "the third answer closes";
  EXPECT_FALSE(error);

  limits.requests_per_connection = 1000;
  server.reset();
  Start(limits);
  beast::tcp_stream timed(Connect());
  const auto began = std::chrono::steady_clock::now();
  int served = 0;
  for (; served < 40 && ask(timed, error); ++served) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(6));
  EXPECT_LT(served, 40) << "keep-alive renewed the connection's life";
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
