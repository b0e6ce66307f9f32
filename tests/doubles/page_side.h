#pragma once
// Plays the page's side of the browser channel in the host's tests: the
// hello for a challenge, the keys it derives (a claimed code's own key
// first), and its encrypted messages. Built on the host's own functions,
// which the shared vector checks against a third implementation.
#include <optional>
#include <string>

#include "browser/browser_session.h"
#include "browser/channel_keys.h"
#include "browser/paired_browsers.h"
#include "browser/sealed_channel.h"
#include "platform/crypto.h"

namespace doubles {

struct PageSide {
  explicit PageSide(platform::Bytes key_bytes, bool claims = false)
      : key(std::move(key_bytes)), claiming(claims) {}

  platform::Bytes key;  // the paired key, or the code's while claiming
  bool claiming = false;
  platform::Bytes nonce = platform::Bytes(browser::kNonceBytes, 0x42);
  platform::Bytes own;  // the key the connection's keys come from
  browser::ChannelKeys keys;
  std::uint64_t sent = 0;
  std::uint64_t received = 0;

  static platform::ICrypto& Crypto() { return platform::SystemCrypto(); }
  static platform::Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

  // The id the hello names: the code's while claiming.
  std::string Id() const { return browser::BrowserIdOf(Crypto(), key); }
  std::string OwnId() const { return browser::BrowserIdOf(Crypto(), own); }

  platform::Bytes Hello(const platform::Bytes& challenge) {
    own = claiming ? browser::OwnKeyOf(Crypto(), key, challenge, nonce) : key;
    keys = browser::ChannelKeysOf(Crypto(), own, challenge, nonce);
    sent = received = 0;
    platform::Bytes hello = Text(Id());
    hello.insert(hello.end(), nonce.begin(), nonce.end());
    const platform::Bytes proof = browser::ProofOf(Crypto(), key, challenge, nonce);
    hello.insert(hello.end(), proof.begin(), proof.end());
    return hello;
  }
  platform::Bytes Sealed(const platform::Bytes& payload) {
    return browser::Seal(Crypto(), keys.from_browser, ++sent, payload);
  }
  platform::Bytes Ok() { return Sealed(Text("ok")); }
  std::optional<platform::Bytes> Opened(const platform::Bytes& message) {
    return browser::Open(Crypto(), keys.from_host, ++received, message);
  }
};

}  // namespace doubles
