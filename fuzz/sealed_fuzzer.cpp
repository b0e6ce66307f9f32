// Fuzzes the browser remote's message path after the WebSocket framing: the
// proof of a connection and the opening of encrypted messages. An input
// either plays a stranger (its bytes sent as they are) or the paired browser
// (its bytes sealed with the right key and a number it picks), and each step
// checks what must hold: nothing a stranger sends opens or proves, and the
// browser's messages open only as the next number, with their own bytes.
#include <cstddef>
#include <cstdint>

#include "browser/channel_proof.h"
#include "browser/sealed_channel.h"
#include "fuzz/fuzz_input.h"
#include "platform/crypto.h"

using fuzz::Take;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::ICrypto& crypto = platform::SystemCrypto();
  static const platform::Bytes key(32, 0x5a);
  browser::TChannelProof proof(crypto);
  const platform::Bytes nonce = Take(data, size, browser::kNonceBytes);
  const platform::Bytes guess = Take(data, size, platform::ICrypto::kMacSize);
  proof.Challenge();
  // The host's nonce is random: a guess made without it cannot be right.
  if (proof.Verify(key, nonce, guess)) __builtin_trap();

  const browser::ChannelKeys keys{platform::Bytes(32, 0xa5), platform::Bytes(32, 0x5a)};
  browser::TSealedChannel channel(crypto, keys);
  std::uint64_t highest = 0;
  while (size > 0) {
    const std::uint8_t how = Take(data, size, 1)[0];
    const platform::Bytes part = Take(data, size, how & 0x3f);
    if (how & 0x80) {
      // The browser: a number from the input, the rest as the payload.
      const std::uint64_t counter = (how & 0x40) ? highest + 1 : part.size();
      const auto opened = channel.Open(browser::Seal(crypto, keys.from_browser, counter, part));
      const bool must_open = counter == highest + 1;
      if (opened.has_value() != must_open || (opened && *opened != part)) __builtin_trap();
      if (opened) highest = counter;
    } else if (channel.Open(part)) {
      __builtin_trap();  // a stranger's bytes opened
    }
  }
  return 0;
}
