#pragma once
// Plays the browser remote's page over a real WebSocket on loopback: the
// handshake with the page's origin, the answer to the challenge, the host's
// "ok", then sealed commands.
#include <utility>  // before Boost 1.74's Asio, which needs std::exchange

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <string>

#include "browser/browser_session.h"
#include "browser/paired_browsers.h"
#include "platform/crypto.h"

namespace doubles {

class PageClient {
 public:
  using Socket = boost::beast::websocket::stream<boost::asio::ip::tcp::socket>;

  // `host`: the Host the page was loaded from ("192.168.1.20:1566").
  PageClient(std::uint16_t port, const std::string& host, platform::Bytes key)
      : socket_(io_), key_(std::move(key)) {
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
  // Answers the challenge; true when the host's sealed "ok" came back.
  bool Prove() {
    platform::ICrypto& crypto = platform::SystemCrypto();
    boost::beast::error_code error;
    const platform::Bytes challenge = Read(error);
    if (error) return false;
    const platform::Bytes nonce(browser::kNonceBytes, 0x33);
    const std::string id = browser::BrowserIdOf(crypto, key_);
    platform::Bytes hello(id.begin(), id.end());
    hello.insert(hello.end(), nonce.begin(), nonce.end());
    const platform::Bytes proof = browser::ProofOf(crypto, key_, challenge, nonce);
    hello.insert(hello.end(), proof.begin(), proof.end());
    session_ = browser::SessionKeyOf(crypto, key_, challenge, nonce);
    Send(hello);
    const platform::Bytes ok = Read(error);
    const std::string word = "ok";
    return !error && ok == browser::Seal(crypto, session_, browser::Direction::FromHost, 1,
                                         platform::Bytes(word.begin(), word.end()));
  }
  platform::Bytes Sealed(const platform::Bytes& payload) {
    return browser::Seal(platform::SystemCrypto(), session_, browser::Direction::FromBrowser,
                         ++sent_, payload);
  }
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
  platform::Bytes key_;
  platform::Bytes session_;
  std::uint64_t sent_ = 0;
};

}  // namespace doubles
