#include "browser/web_server.h"

// Boost 1.74's Asio uses std::exchange without including <utility>.
#include <utility>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/basic_waitable_timer.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "browser/browser_session.h"
#include "browser/proof_limit.h"
#include "browser/request_rules.h"

namespace browser {
namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
// Everything runs on the one io_context's thread: its own executor type, not
// the polymorphic one, and no per-message deflate. Both keep the program small.
using Executor = asio::io_context::executor_type;
using Socket = asio::basic_stream_socket<tcp, Executor>;
using Acceptor = asio::basic_socket_acceptor<tcp, Executor>;
using Timer = asio::basic_waitable_timer<std::chrono::steady_clock,
                                         asio::wait_traits<std::chrono::steady_clock>, Executor>;
using WebSocket = websocket::stream<Socket, false>;

namespace {

constexpr std::string_view kSocketPath = "/ws";
// A sealed command is at most its text, its kind byte and the seal.
constexpr std::size_t kLargestMessage = kLongestBrowserText + 1 + kSealBytes;

std::string SecurityPolicy(const std::string& host) {
  return "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
         "connect-src ws://" +
         host +
         "; base-uri 'none'; form-action 'none'; "
         "frame-ancestors 'none'";
}

// Beast speaks boost::string_view.
std::string_view Std(beast::string_view text) { return {text.data(), text.size()}; }
beast::string_view Beast(std::string_view text) { return {text.data(), text.size()}; }

ServerNote NoteOf(const SessionStep& closed) {
  if (closed.reason == kForgotten) return ServerNote::UnknownBrowser;
  if (closed.reason == kCodeUsed) return ServerNote::CodeUsedAgain;
  return ServerNote::ProofRefused;
}

}  // namespace

class Connection;

struct TWebServer::Impl {
  Impl(platform::ICrypto& crypto_in, TKeyRing& keys_in, std::vector<PageFile> files_in,
       ServerHooks hooks_in, ServerLimits limits_in)
      : crypto(crypto_in),
        keys(keys_in),
        files(std::move(files_in)),
        hooks(std::move(hooks_in)),
        limits(limits_in) {}

  void Accept();
  void Accepted(Socket socket);
  // Makes room for a newcomer by closing the oldest connection without a
  // proof that `which` picks; false when every such place is proved.
  bool Evict(const std::function<bool(const Connection&)>& which);
  void Ended(const std::shared_ptr<Connection>& connection, std::uint32_t peer);
  const PageFile* FileAt(std::string_view path) const {
    for (const PageFile& file : files) {
      if (file.path == path) return &file;
    }
    return nullptr;
  }
  std::uint64_t Now() const { return hooks.now_ms ? hooks.now_ms() : 0; }
  void Note(std::uint32_t peer, ServerNote note) const {
    if (hooks.noted) hooks.noted(peer, note);
  }

  platform::ICrypto& crypto;
  TKeyRing& keys;
  std::vector<PageFile> files;
  ServerHooks hooks;
  ServerLimits limits;
  asio::io_context io;
  std::optional<Acceptor> acceptor;
  std::thread thread;
  std::uint16_t port = 0;
  // The server thread's own.
  TProofLimit proof_limit;
  std::map<std::uint32_t, std::size_t> per_address;
  std::set<std::shared_ptr<Connection>> open;
  std::atomic<std::size_t> count{0};
  std::uint64_t opened = 0;  // numbers the connections in the order they came
};

// One TCP connection: HTTP requests until one upgrades to the WebSocket.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(TWebServer::Impl& server, Socket socket, std::uint32_t peer, std::uint64_t number)
      : server_(server),
        stream_(std::move(socket)),
        deadline_(stream_.get_executor()),
        peer_(peer),
        number_(number),
        closes_at_(std::chrono::steady_clock::now() +
                   std::chrono::seconds(server.limits.http_seconds)) {}

  void Begin() { ReadRequest(); }
  bool Proved() const { return session_ && session_->Proved(); }
  std::uint32_t Peer() const { return peer_; }
  std::uint64_t Number() const { return number_; }
  void Shut() {
    beast::error_code ignored;  // closing what may be closed already
    deadline_.cancel();
    (socket_ ? socket_->next_layer() : stream_).close(ignored);
  }

 private:
  void ReadRequest() {
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(kMaxHeaderBytes));
    parser_->body_limit(0);
    // The request and its answer must be done in time, and the connection
    // within its life, or the socket closes: keep-alive does not renew it.
    ++requests_;
    deadline_.expires_at(std::min(
        closes_at_,
        std::chrono::steady_clock::now() + std::chrono::seconds(server_.limits.request_seconds)));
    deadline_.async_wait([self = shared_from_this()](beast::error_code error) {
      beast::error_code ignored;  // the connection may have ended meanwhile
      if (!error && !self->socket_) self->stream_.close(ignored);
    });
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code error, std::size_t) {
                       self->RequestRead(error);
                     });
  }

  void RequestRead(beast::error_code error) {
    if (error) {
      // A closed or timed-out connection says nothing; a request too large does.
      if (error == http::error::header_limit || error == http::error::body_limit) {
        server_.Note(peer_, ServerNote::BadRequest);
      }
      return End();
    }
    const auto& request = parser_->get();
    const std::string host(request[http::field::host]);
    const std::vector<std::uint32_t> addresses =
        server_.hooks.addresses ? server_.hooks.addresses() : std::vector<std::uint32_t>{};
    if (!HostIsThisPc(host, addresses, server_.port))
      return Refuse(http::status::misdirected_request);
    if (websocket::is_upgrade(request)) {
      if (Std(request.target()) != kSocketPath ||
          !OriginIsThePage(std::string(request[http::field::origin]), host)) {
        return Refuse(http::status::forbidden);
      }
      return Upgrade();
    }
    if (request.method() != http::verb::get && request.method() != http::verb::head) {
      return Respond(http::status::method_not_allowed, nullptr, host);
    }
    std::string_view target = Std(request.target());
    target = target.substr(0, target.find('?'));
    const PageFile* file = server_.FileAt(target);
    Respond(file ? http::status::ok : http::status::not_found, file, host);
  }

  void Refuse(http::status status) {
    server_.Note(peer_, ServerNote::BadRequest);
    Respond(status, nullptr, "", false);
  }

  void Respond(http::status status, const PageFile* file, const std::string& host,
               bool keep_alive = true) {
    auto response =
        std::make_shared<http::response<http::string_body>>(status, parser_->get().version());
    response->set(http::field::content_type,
                  Beast(file ? file->type : "text/plain; charset=utf-8"));
    response->set(http::field::cache_control, "no-store");
    response->set("X-Content-Type-Options", "nosniff");
    response->set("X-Frame-Options", "DENY");
    response->set("Referrer-Policy", "no-referrer");
    if (!host.empty()) response->set("Content-Security-Policy", SecurityPolicy(host));
    // Every browser takes gzip; the page is kept in the program that way.
    if (file && file->gzipped) response->set(http::field::content_encoding, "gzip");
    if (file && parser_->get().method() != http::verb::head) {
      response->body() = std::string(file->body);
    } else if (!file) {
      response->body() = std::string(http::obsolete_reason(status));
    }
    const bool more = requests_ < server_.limits.requests_per_connection &&
                      std::chrono::steady_clock::now() < closes_at_;
    response->keep_alive(keep_alive && more && parser_->get().keep_alive());
    response->prepare_payload();
    http::async_write(stream_, *response,
                      [self = shared_from_this(), response](beast::error_code error, std::size_t) {
                        if (error || !response->keep_alive()) {
                          beast::error_code ignored;  // the peer may be gone already
                          self->stream_.shutdown(Socket::shutdown_send, ignored);
                          return self->End();
                        }
                        self->ReadRequest();
                      });
  }

  void Upgrade() {
    deadline_.cancel();
    socket_.emplace(std::move(stream_));
    websocket::stream_base::timeout timeout =
        websocket::stream_base::timeout::suggested(beast::role_type::server);
    timeout.idle_timeout = std::chrono::seconds(server_.limits.idle_seconds);
    // A page left open between commands answers the pings and stays; a
    // phone that went away without a word answers none and is let go.
    timeout.keep_alive_pings = true;
    timeout.handshake_timeout = std::chrono::seconds(server_.limits.request_seconds);
    socket_->set_option(timeout);
    socket_->read_message_max(kLargestMessage);
    socket_->binary(true);
    socket_->async_accept(parser_->release(), [self = shared_from_this()](beast::error_code error) {
      if (error) return self->End();
      self->session_.emplace(self->server_.crypto, self->server_.keys, self->server_.proof_limit,
                             self->peer_);
      SessionStep step = self->session_->Start(self->server_.Now());
      if (step.kind == SessionStep::Kind::Close) {
        self->server_.Note(self->peer_, ServerNote::TooManyFailures);
      }
      self->AwaitProof();
      self->Follow(std::move(step));
    });
  }

  // Carries out one step of the session, then reads the next message.
  void Follow(SessionStep step) {
    switch (step.kind) {
      case SessionStep::Kind::Close: return Close(step.reason);
      case SessionStep::Kind::Confirmed: {
        deadline_.cancel();
        told_connected_ = true;
        if (server_.hooks.connected)
          server_.hooks.connected(peer_, session_->Id(), step.paired_now);
        return ReadMessage();
      }
      case SessionStep::Kind::Reply: {
        auto message = std::make_shared<platform::Bytes>(std::move(step.bytes));
        socket_->async_write(asio::buffer(*message), [self = shared_from_this(), message](
                                                         beast::error_code error, std::size_t) {
          if (error) return self->End();
          self->ReadMessage();
        });
        return;
      }
      case SessionStep::Kind::Command: {
        if (std::optional<service::Ask> command = DecodeBrowserCommand(step.bytes)) {
          if (server_.hooks.command) server_.hooks.command(peer_, session_->Id(), *command);
        }
        return ReadMessage();
      }
    }
  }

  // Pongs and fragments keep a socket open but prove nothing: an unproved
  // one ends when its time is up, whatever it sends.
  void AwaitProof() {
    deadline_.expires_after(std::chrono::seconds(server_.limits.proof_seconds));
    deadline_.async_wait([self = shared_from_this()](beast::error_code error) {
      if (!error && !self->Proved()) self->Shut();
    });
  }

  void ReadMessage() {
    message_.clear();
    socket_->async_read(message_,
                        [self = shared_from_this()](beast::error_code error, std::size_t) {
                          if (error) return self->End();
                          const auto data = self->message_.data();
                          const auto* bytes = static_cast<const std::uint8_t*>(data.data());
                          SessionStep step = self->session_->Take(
                              platform::Bytes(bytes, bytes + data.size()), self->server_.Now());
                          if (step.kind == SessionStep::Kind::Close)
                            self->server_.Note(self->peer_, NoteOf(step));
                          self->Follow(std::move(step));
                        });
  }

  // The reason reaches the page, which tells the user what it means.
  void Close(const std::string& reason) {
    websocket::close_reason why(websocket::close_code::policy_error, reason);
    socket_->async_close(why, [self = shared_from_this()](beast::error_code) { self->End(); });
  }

  void End() {
    if (ended_) return;
    ended_ = true;
    deadline_.cancel();
    // A connection that took the challenge and left without a proof is
    // counted and noted as a failed one.
    if (session_ && session_->Ended(server_.Now())) server_.Note(peer_, ServerNote::ProofRefused);
    if (told_connected_ && server_.hooks.disconnected) {
      server_.hooks.disconnected(peer_, session_->Id());
    }
    server_.Ended(shared_from_this(), peer_);
  }

  TWebServer::Impl& server_;
  Socket stream_;
  Timer deadline_;
  std::optional<WebSocket> socket_;
  std::uint32_t peer_;
  beast::flat_buffer buffer_;
  beast::flat_buffer message_;
  std::optional<http::request_parser<http::empty_body>> parser_;
  std::optional<TBrowserSession> session_;
  std::uint64_t number_;
  std::chrono::steady_clock::time_point closes_at_;  // of the HTTP connection
  unsigned requests_ = 0;
  bool told_connected_ = false;
  bool ended_ = false;
};

void TWebServer::Impl::Accept() {
  acceptor->async_accept([this](beast::error_code error, Socket socket) {
    if (error == asio::error::operation_aborted || !acceptor->is_open()) return;
    if (!error) Accepted(std::move(socket));
    Accept();
  });
}

void TWebServer::Impl::Accepted(Socket socket) {
  beast::error_code error;
  const tcp::endpoint remote = socket.remote_endpoint(error);
  if (error || !remote.address().is_v4()) return;  // gone already, or not IPv4: closed here
  const std::uint32_t peer = remote.address().to_v4().to_uint();
  // Far: closed before a byte is read.
  if (!hooks.may_connect || !hooks.may_connect(peer)) return;
  // Places held without a proof go to a newcomer; proved ones are kept.
  const bool room = (per_address[peer] < limits.per_address ||
                     Evict([peer](const Connection& c) { return c.Peer() == peer; })) &&
                    (open.size() < limits.total || Evict([](const Connection&) { return true; }));
  if (!room) {
    Note(peer, ServerNote::TooManyConnections);
    return;
  }
  ++per_address[peer];
  auto connection = std::make_shared<Connection>(*this, std::move(socket), peer, ++opened);
  open.insert(connection);
  count = open.size();
  connection->Begin();
}

bool TWebServer::Impl::Evict(const std::function<bool(const Connection&)>& which) {
  std::shared_ptr<Connection> oldest;
  for (const auto& connection : open) {
    if (connection->Proved() || !which(*connection)) continue;
    if (!oldest || connection->Number() < oldest->Number()) oldest = connection;
  }
  if (!oldest) return false;
  Note(oldest->Peer(), ServerNote::TooManyConnections);
  oldest->Shut();
  // Its place is free now: its end comes later, from its own handlers.
  Ended(oldest, oldest->Peer());
  return true;
}

void TWebServer::Impl::Ended(const std::shared_ptr<Connection>& connection, std::uint32_t peer) {
  if (open.erase(connection) == 0) return;
  if (--per_address[peer] == 0) per_address.erase(peer);
  count = open.size();
}

TWebServer::TWebServer(platform::ICrypto& crypto, TKeyRing& keys, std::vector<PageFile> files,
                       ServerHooks hooks, ServerLimits limits)
    : impl_(std::make_unique<Impl>(crypto, keys, std::move(files), std::move(hooks), limits)) {}

TWebServer::~TWebServer() { Stop(); }

bool TWebServer::Start(std::uint16_t port, std::string& error) {
  beast::error_code failed;
  Acceptor acceptor(impl_->io.get_executor());
  const tcp::endpoint where(asio::ip::address_v4::any(), port);
  acceptor.open(where.protocol(), failed);
  if (!failed) acceptor.bind(where, failed);
  if (!failed) acceptor.listen(asio::socket_base::max_listen_connections, failed);
  if (!failed) impl_->port = acceptor.local_endpoint(failed).port();
  if (failed) {
    error = failed.message();
    return false;
  }
  impl_->acceptor.emplace(std::move(acceptor));
  impl_->Accept();
  impl_->thread = std::thread([impl = impl_.get()] { impl->io.run(); });
  return true;
}

std::uint16_t TWebServer::Port() const { return impl_->port; }

void TWebServer::Stop() {
  if (!impl_->thread.joinable()) return;
  asio::post(impl_->io, [impl = impl_.get()] {
    beast::error_code ignored;  // the acceptor may have failed already
    impl->acceptor->close(ignored);
    for (const auto& connection : std::set(impl->open)) connection->Shut();
  });
  impl_->thread.join();
  impl_->open.clear();
}

std::size_t TWebServer::Connections() const { return impl_->count; }

}  // namespace browser
