// Fuzzes a browser connection's whole message path after the WebSocket
// framing: the hello, the sealed commands and their decoding. Each message
// is either the input's bytes as they are (a stranger) or made right from
// the input by the paired page (its hello, or a command sealed with the next
// counter). What must hold: nothing a stranger sends proves or commands, the
// page's own messages do, and every command decodes without harm.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::ICrypto& crypto = platform::SystemCrypto();
  static const platform::Bytes key(32, 0x5a);
  static const std::string id = browser::BrowserIdOf(crypto, key);
  browser::TKeyRing keys;
  keys.Add(id, key);
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
      const platform::Bytes proof = browser::ProofOf(crypto, key, challenge.bytes, nonce);
      message.insert(message.end(), proof.begin(), proof.end());
      to_host = browser::ChannelKeysOf(crypto, key, challenge.bytes, nonce).from_browser;
      hello_sent = true;
    } else if (made_right && !session.Proved()) {
      message = browser::Seal(crypto, to_host, ++counter, {'o', 'k'});
    } else if (made_right) {
      message = browser::Seal(crypto, to_host, ++counter, part);
    }
    const bool proved = session.Proved();
    const browser::SessionStep step = session.Take(message, 0);
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
