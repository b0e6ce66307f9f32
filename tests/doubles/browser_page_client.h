#pragma once
// Plays the browser remote's page over a real WebSocket on loopback: the
// handshake with the page's origin, the answer to the challenge, both
// "ok"s, then encrypted commands.
#include <utility>  // before Boost 1.74's Asio, which needs std::exchange

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <string>

#include "tests/doubles/page_side.h"
#include "platform/crypto.h"

namespace doubles {

class PageClient {
 public:
  using Socket = boost::beast::websocket::stream<boost::asio::ip::tcp::socket>;

  // `host`: the Host the page was loaded from ("192.168.1.20:1566");
  // `claiming`: `key` is a pairing code's, claimed by this connection.
  // `from`: the loopback address it connects from, for a second device.
  PageClient(std::uint16_t port, const std::string& host, platform::Bytes key,
             bool claiming = false,
             boost::asio::ip::address_v4 from = boost::asio::ip::address_v4::loopback())
      : socket_(io_), page_(std::move(key), claiming) {
    socket_.next_layer().open(boost::asio::ip::tcp::v4());
    socket_.next_layer().bind({from, 0});
    socket_.next_layer().connect({boost::asio::ip::address_v4::loopback(), port});
    socket_.set_option(boost::beast::websocket::stream_base::decorator(
        [host](boost::beast::websocket::request_type& request) {
          request.set(boost::beast::http::field::origin, "http://" + host);
        }));
    socket_.handshake(host, "/ws");
    socket_.binary(true);
  }

  platform::Bytes Read(boost::beast::error_code& error) {
    boost::beast::flat_buffer buffer;
    socket_.read(buffer, error);
    const auto* data = static_cast<const std::uint8_t*>(buffer.data().data());
    return platform::Bytes(data, data + buffer.size());
  }
  // Answers the challenge; true when the host's "ok" came back, and the
  // page's own "ok" went out.
  bool Prove() {
    boost::beast::error_code error;
    const platform::Bytes challenge = Read(error);
    if (error) return false;
    Send(page_.Hello(challenge));
    const platform::Bytes ok = Read(error);
    if (error || page_.Opened(ok) != PageSide::Text("ok")) return false;
    Send(page_.Ok());
    return true;
  }
  platform::Bytes Sealed(const platform::Bytes& payload) { return page_.Sealed(payload); }
  // The key the page keeps: a claimed code's own key.
  const platform::Bytes& OwnKey() const { return page_.own; }
  void Send(const platform::Bytes& message) {
    boost::beast::error_code error;  // a closed connection shows at the next read
    socket_.write(boost::asio::buffer(message), error);
  }
  // Waits for the host to close; the reason it gave.
  std::string ClosedBecause() {
    boost::beast::error_code error;
    while (!error) Read(error);
    return socket_.reason().reason.c_str();
  }
  Socket& socket() { return socket_; }

 private:
  boost::asio::io_context io_;
  Socket socket_;
  PageSide page_;
};

}  // namespace doubles
