#pragma once
// The browser remote's server: the page and its WebSocket on one TCP port,
// on a thread of its own. HTTP and WebSocket are Boost.Beast's; what a
// request must be, the proof and the seal are this folder's.
//
// A connection from an address that `may_connect` refuses is closed before a
// byte is read. Each address may hold 4 connections and all 16; a request
// must arrive within 10 s with its header in 8 KB; a WebSocket is pinged when
// quiet, and closed when 60 s pass without a word from it, pongs included.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "browser/browser_commands.h"
#include "browser/key_ring.h"
#include "platform/crypto.h"

namespace browser {

// One file of the page, served from the program itself.
struct PageFile {
  std::string_view path;  // "/", "/app.js"
  std::string_view type;  // its Content-Type
  std::string_view body;
  bool gzipped = false;  // the body is sent as it is, with Content-Encoding: gzip
};

// What the server tells its owner; each on the server's thread.
enum class ServerNote {
  ProofRefused,     // a wrong key, a bad message, a bad seal
  UnknownBrowser,   // an id this PC does not know, or a forgotten one
  CodeUsedAgain,    // a pairing code that a browser claimed already
  TooManyFailures,  // the address failed 5 proofs in this minute
  TooManyConnections,
  BadRequest,  // a Host or Origin of another site, or a request too large
};

struct ServerHooks {
  std::function<bool(std::uint32_t peer)> may_connect;
  // The PC's served addresses: a request's Host must name one.
  std::function<std::vector<std::uint32_t>()> addresses;
  // A proved browser's command; the server's thread waits until it returns.
  std::function<void(std::uint32_t peer, const std::string& id, const service::Ask& command)>
      command;
  // A browser proved its key (`paired_now`: the pairing window's), and its end.
  std::function<void(std::uint32_t peer, const std::string& id, bool paired_now)> connected;
  std::function<void(std::uint32_t peer, const std::string& id)> disconnected;
  std::function<void(std::uint32_t peer, ServerNote note)> noted;
  std::function<std::uint64_t()> now_ms;
};

// Nobody who does not hold a key can keep a phone out for long: a place
// held without a proof is given to a newcomer when all are taken, and every
// place held without one ends on a clock that nothing the holder sends resets.
struct ServerLimits {
  std::size_t per_address = 4;
  std::size_t total = 16;
  unsigned request_seconds = 10;  // to read a request and send its answer
  unsigned idle_seconds = 60;     // a proved page that answers no ping
  unsigned proof_seconds = 10;    // from the challenge to the page's "ok"
  unsigned http_seconds = 30;     // an HTTP connection's life, keep-alive or not
  unsigned requests_per_connection = 16;
};

class TWebServer {
 public:
  TWebServer(platform::ICrypto& crypto, TKeyRing& keys, std::vector<PageFile> files,
             ServerHooks hooks, ServerLimits limits = {});
  ~TWebServer();
  TWebServer(const TWebServer&) = delete;
  TWebServer& operator=(const TWebServer&) = delete;

  // Listens on every address; port 0 takes any free one. False, with the
  // system's words, when it cannot.
  bool Start(std::uint16_t port, std::string& error);
  std::uint16_t Port() const;
  // Closes every connection and ends the thread. A command hook that waits
  // must be released first.
  void Stop();
  std::size_t Connections() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace browser
