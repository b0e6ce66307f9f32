// Fuzzes a browser connection's whole message path after the WebSocket
// framing: the hello, the sealed commands and their decoding. Each message
// is either the input's bytes as they are (a stranger) or made right from
// the input by the paired page (its hello, or a command sealed with the next
// counter). The page proves either a paired key or the pairing code, which
// it then claims. What must hold: nothing a stranger sends proves or
// commands, the page's own messages do, every command decodes without harm,
// and a code once claimed is dead: the next browser with it is refused.
#include <cstddef>
#include <cstdint>

#include "browser/browser_commands.h"
#include "browser/browser_session.h"
#include "browser/key_ring.h"
#include "browser/paired_browsers.h"
#include "fuzz/fuzz_input.h"
#include "platform/crypto.h"
#include "service/utf8.h"

namespace {

using fuzz::Take;

// The decoder is pure, and the text it lets through is what Windows takes.
void Decode(const platform::Bytes& payload) {
  const auto command = browser::DecodeBrowserCommand(payload);
  if (command != browser::DecodeBrowserCommand(payload)) __builtin_trap();
  if (!command) return;
  if (const auto* text = std::get_if<service::TextToType>(&*command)) {
    std::size_t characters = 0;
    const std::u16string wide = service::Utf16Of(text->text, characters);
    if (!text->utf8 || characters == 0 || wide.size() < characters) __builtin_trap();
  }
}

// The claim moved the browser to a key of its own, and the code pairs no
// one else: a second browser that proves it now is refused as "used".
void CheckClaim(platform::ICrypto& crypto, browser::TKeyRing& keys, bool claiming,
                const browser::SessionStep& step) {
  if (step.paired_now != claiming) __builtin_trap();
  if (!claiming) return;
  const platform::Bytes code_key(32, 0xc3);
  const std::string code_id = browser::BrowserIdOf(crypto, code_key);
  if (!keys.WasClaimed(code_id) || keys.Find(code_id, 0)) __builtin_trap();
  browser::TProofLimit limit;
  browser::TBrowserSession second(crypto, keys, limit, 0x0A000003);
  const browser::SessionStep challenge = second.Start(0);
  platform::Bytes hello(code_id.begin(), code_id.end());
  const platform::Bytes nonce(browser::kNonceBytes, 0x11);
  hello.insert(hello.end(), nonce.begin(), nonce.end());
  const platform::Bytes proof = browser::ProofOf(crypto, code_key, challenge.bytes, nonce);
  hello.insert(hello.end(), proof.begin(), proof.end());
  const browser::SessionStep refused = second.Take(hello, 0);
  if (refused.kind != browser::SessionStep::Kind::Close || refused.reason != browser::kCodeUsed) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::ICrypto& crypto = platform::SystemCrypto();
  static const platform::Bytes key(32, 0x5a);
  static const std::string paired_id = browser::BrowserIdOf(crypto, key);
  static const platform::Bytes code_key(32, 0xc3);
  static const std::string code_id = browser::BrowserIdOf(crypto, code_key);
  browser::TKeyRing keys;
  keys.Add(paired_id, key);
  keys.Offer(code_id, code_key, 1000);
  const bool claiming = size > 0 && (Take(data, size, 1)[0] & 1);
  const std::string& id = claiming ? code_id : paired_id;
  const platform::Bytes& hello_key = claiming ? code_key : key;
  browser::TProofLimit limit;
  browser::TBrowserSession session(crypto, keys, limit, 0x0A000002);
  const browser::SessionStep challenge = session.Start(0);
  if (challenge.kind != browser::SessionStep::Kind::Reply) __builtin_trap();

  platform::Bytes to_host;
  std::uint64_t counter = 0;
  bool hello_sent = false;
  while (size > 0) {
    const std::uint8_t how = Take(data, size, 1)[0];
    const platform::Bytes part = Take(data, size, how & 0x7f);
    const bool made_right = how & 0x80;
    platform::Bytes message = part;
    if (made_right && !hello_sent) {
      platform::Bytes nonce = part;
      nonce.resize(browser::kNonceBytes);
      message.assign(id.begin(), id.end());
      message.insert(message.end(), nonce.begin(), nonce.end());
      const platform::Bytes proof = browser::ProofOf(crypto, hello_key, challenge.bytes, nonce);
      message.insert(message.end(), proof.begin(), proof.end());
      const platform::Bytes channel_key =
          claiming ? browser::OwnKeyOf(crypto, code_key, challenge.bytes, nonce) : key;
      to_host = browser::ChannelKeysOf(crypto, channel_key, challenge.bytes, nonce).from_browser;
      hello_sent = true;
    } else if (made_right && !session.Proved()) {
      message = browser::Seal(crypto, to_host, ++counter, {'o', 'k'});
    } else if (made_right) {
      message = browser::Seal(crypto, to_host, ++counter, part);
    }
    const bool proved = session.Proved();
    const browser::SessionStep step = session.Take(message, 0);
    if (step.kind == browser::SessionStep::Kind::Confirmed)
      CheckClaim(crypto, keys, claiming, step);
    if (step.kind == browser::SessionStep::Kind::Close) {
      if (made_right) __builtin_trap();  // the page's own message refused
      return 0;
    }
    if (!made_right) __builtin_trap();  // a stranger's bytes proved or commanded
    if (step.kind == browser::SessionStep::Kind::Command) {
      if (!proved || step.bytes != part) __builtin_trap();
      Decode(step.bytes);
    }
  }
  return 0;
}
