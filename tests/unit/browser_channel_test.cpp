// The browser remote's pairing, the proof of each connection, the seal of
// its messages and the rules of its requests, over the system's own crypto.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "browser/channel_proof.h"
#include "browser/pairing.h"
#include "browser/proof_limit.h"
#include "browser/request_rules.h"
#include "browser/sealed_channel.h"
#include "platform/crypto.h"

namespace {

using platform::Bytes;

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string Hex(const Bytes& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (std::uint8_t byte : bytes) {
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return hex;
}

// A system whose cryptography fails: nothing may pass then.
class BrokenCrypto final : public platform::ICrypto {
 public:
  Bytes HmacSha256(const Bytes&, const std::uint8_t*, std::size_t) override { return {}; }
  Bytes Encrypt(const CipherInput&, const std::uint8_t*, std::size_t) override { return {}; }
  std::optional<Bytes> Decrypt(const CipherInput&, const std::uint8_t*, std::size_t) override {
    return std::nullopt;
  }
  Bytes RandomBytes(std::size_t) override { return {}; }
};

platform::ICrypto& Crypto() { return platform::SystemCrypto(); }

TEST(BrowserCrypto, TheSystemsHmacMatchesTheStandardsVectors) {
  // RFC 4231, test cases 1 and 2.
  const Bytes key1(20, 0x0b);
  const Bytes data1 = FromText("Hi There");
  EXPECT_EQ(Hex(Crypto().HmacSha256(key1, data1.data(), data1.size())),
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  const Bytes data2 = FromText("what do ya want for nothing?");
  EXPECT_EQ(Hex(Crypto().HmacSha256(FromText("Jefe"), data2.data(), data2.size())),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  const Bytes a = Crypto().RandomBytes(32), b = Crypto().RandomBytes(32);
  EXPECT_EQ(a.size(), 32u);
  EXPECT_NE(a, b);
}

TEST(BrowserPairing, AKeyPairsWithinTenMinutesAndAnOpeningVoidsTheOneBefore) {
  browser::TPairing pairing(Crypto());
  const auto first = pairing.Open(1000);
  ASSERT_TRUE(first);
  EXPECT_GE(first->size() * 8, 128u);
  EXPECT_EQ(pairing.Waiting(1000 + browser::TPairing::kValidForMs - 1), first);
  EXPECT_FALSE(pairing.Waiting(1000 + browser::TPairing::kValidForMs)) << "expired";
  const auto second = pairing.Open(5000);
  EXPECT_NE(second, first);
  EXPECT_EQ(pairing.Waiting(5000), second);
  pairing.Claimed();
  EXPECT_FALSE(pairing.Waiting(5000)) << "one browser only";
  BrokenCrypto broken;
  browser::TPairing no_random(broken);
  EXPECT_FALSE(no_random.Open(0));
  EXPECT_FALSE(no_random.Waiting(0));
}

struct Connection {
  Bytes key = Crypto().RandomBytes(32);
  browser::TChannelProof proof{Crypto()};
  Bytes browser_nonce = Crypto().RandomBytes(browser::kNonceBytes);

  // What an honest browser answers to this connection's challenge.
  Bytes Answer(const Bytes& with_key) {
    return browser::ProofOf(Crypto(), with_key, proof.Challenge(), browser_nonce);
  }
};

TEST(BrowserProof, OnlyTheKeysHolderProvesItAndOnlyOncePerConnection) {
  Connection c;
  ASSERT_EQ(c.proof.Challenge().size(), browser::kNonceBytes);
  EXPECT_TRUE(c.proof.Verify(c.key, c.browser_nonce, c.Answer(c.key)));
  EXPECT_FALSE(c.proof.Verify(c.key, c.browser_nonce, c.Answer(c.key))) << "answered already";

  const struct {
    const char* what;
    bool wrong_key, flip, replay, short_nonce;
  } cases[] = {
      {"another key", true, false, false, false},
      {"a flipped bit", false, true, false, false},
      {"a proof from another connection", false, false, true, false},
      {"a short nonce", false, false, false, true},
  };
  for (const auto& r : cases) {
    Connection seen, now;
    Bytes proof = r.wrong_key ? now.Answer(Crypto().RandomBytes(32)) : now.Answer(now.key);
    if (r.flip) proof[7] ^= 0x10;
    Bytes nonce = now.browser_nonce;
    if (r.replay) {
      // Captured on another connection with the same key.
      seen.key = now.key;
      proof = seen.Answer(seen.key);
      nonce = seen.browser_nonce;
    }
    if (r.short_nonce) nonce.pop_back();
    EXPECT_FALSE(now.proof.Verify(now.key, nonce, proof)) << r.what;
  }
  // Before a challenge, or when the system fails, nothing is proved.
  Connection unchallenged;
  EXPECT_FALSE(unchallenged.proof.Verify(unchallenged.key, unchallenged.browser_nonce, Bytes(32)));
  BrokenCrypto broken;
  browser::TChannelProof failing(broken);
  EXPECT_TRUE(failing.Challenge().empty());
  EXPECT_FALSE(failing.Verify(Bytes(32, 1), Bytes(browser::kNonceBytes, 2), Bytes(32)));
}

// AES-256-GCM as the system gives it, on the cipher's published vector for
// a 256-bit zero key, a zero nonce and one block of zeros, and on every
// kind of change.
TEST(BrowserCrypto, TheSystemsAesGcmMatchesTheStandardsVectorAndRefusesAnyChange) {
  const Bytes key(32, 0), nonce(12, 0), none, zeros(16, 0);
  const Bytes sealed = Crypto().Encrypt({key, nonce, none}, zeros.data(), zeros.size());
  EXPECT_EQ(Hex(sealed), "cea7403d4d606b6e074ec5d3baf39d18d0d1c8a799996bf0265b98b5d48ab919");
  EXPECT_EQ(Crypto().Decrypt({key, nonce, none}, sealed.data(), sealed.size()), zeros);
  const Bytes other_key(32, 1), other_nonce(12, 1), associated{2};
  EXPECT_FALSE(Crypto().Decrypt({other_key, nonce, none}, sealed.data(), sealed.size()));
  EXPECT_FALSE(Crypto().Decrypt({key, other_nonce, none}, sealed.data(), sealed.size()));
  EXPECT_FALSE(Crypto().Decrypt({key, nonce, associated}, sealed.data(), sealed.size()));
  EXPECT_FALSE(Crypto().Decrypt({key, nonce, none}, sealed.data(), 15)) << "shorter than a tag";
  const Bytes empty = Crypto().Encrypt({key, nonce, associated}, nullptr, 0);
  EXPECT_EQ(empty.size(), 16u) << "an empty text has its tag";
  EXPECT_EQ(Crypto().Decrypt({key, nonce, associated}, empty.data(), empty.size()), Bytes{});
  EXPECT_TRUE(Crypto().Encrypt({Bytes(16, 0), nonce, none}, zeros.data(), 16).empty())
      << "AES-128's key size is not taken";
}

TEST(BrowserSeal, AMessageOpensOnlyAsTheNextAndNotAfterAnyChange) {
  const browser::ChannelKeys keys{Crypto().RandomBytes(32), Crypto().RandomBytes(32)};
  browser::TSealedChannel channel(Crypto(), keys);
  auto from_browser = [&](std::uint64_t number, const std::string& payload) {
    return browser::Seal(Crypto(), keys.from_browser, number, FromText(payload));
  };
  const Bytes first = from_browser(1, "key enter");
  EXPECT_EQ(channel.Open(first), FromText("key enter"));
  EXPECT_EQ(channel.Open(from_browser(2, "")), Bytes{});

  const struct {
    const char* what;
    Bytes message;
  } refused[] = {
      {"a replay", first},
      {"a number going back", from_browser(1, "key tab")},
      {"a number skipped", from_browser(4, "key tab")},
      {"another key", browser::Seal(Crypto(), Crypto().RandomBytes(32), 3, FromText("key tab"))},
      {"sealed for the other direction", browser::Seal(Crypto(), keys.from_host, 3, FromText("x"))},
      {"too short to hold a tag", Bytes(browser::kSealBytes - 1, 0)},
  };
  for (const auto& r : refused) EXPECT_FALSE(channel.Open(r.message)) << r.what;
  // Every single bit matters: number, ciphertext and tag.
  const Bytes good = from_browser(3, "text hunter2");
  const std::string readable = "hunter2";
  EXPECT_EQ(std::search(good.begin(), good.end(), readable.begin(), readable.end()), good.end())
      << "the text stands readable in the message";
  for (std::size_t bit = 0; bit < good.size() * 8; ++bit) {
    Bytes changed = good;
    changed[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    ASSERT_FALSE(channel.Open(changed)) << "bit " << bit;
  }
  EXPECT_EQ(channel.Open(good), FromText("text hunter2"));
  EXPECT_EQ(channel.LastReceived(), 3u);
  // The host's messages count from 1 under their own key.
  const Bytes reply = channel.Seal(FromText("ok"));
  EXPECT_EQ(browser::Open(Crypto(), keys.from_host, 1, reply), FromText("ok"));
  EXPECT_FALSE(browser::Open(Crypto(), keys.from_browser, 1, reply));
  BrokenCrypto broken;
  EXPECT_TRUE(browser::Seal(broken, keys.from_host, 1, FromText("ok")).empty());
}

TEST(BrowserProofLimit, FiveFailedProofsAMinutePerAddress) {
  browser::TProofLimit limit;
  constexpr std::uint32_t kPhone = 0xC0A80117u, kOther = 0xC0A80118u;
  for (unsigned i = 0; i < browser::TProofLimit::kFailuresPerMinute; ++i) {
    EXPECT_TRUE(limit.MayTry(kPhone, 1000 + i));
    limit.Failed(kPhone, 1000 + i);
  }
  EXPECT_FALSE(limit.MayTry(kPhone, 2000));
  EXPECT_TRUE(limit.MayTry(kOther, 2000)) << "another address has its own";
  EXPECT_FALSE(limit.MayTry(kPhone, 1000 + browser::TProofLimit::kMinuteMs - 1));
  EXPECT_TRUE(limit.MayTry(kPhone, 1000 + browser::TProofLimit::kMinuteMs));
}

TEST(BrowserRequests, OnlyThisPcsAddressWithThePortAndThePagesOwnOrigin) {
  const std::vector<std::uint32_t> served = {0xC0A80114u, 0x0A000002u};  // .1.20, 10.0.0.2
  const struct {
    const char* host;
    bool passes;
  } hosts[] = {
      {"192.168.1.20:1566", true},
      {"10.0.0.2:1566", true},
      {"192.168.1.21:1566", false},     // not this PC
      {"192.168.1.20", false},          // no port
      {"192.168.1.20:80", false},       // another port
      {"evil.example:1566", false},     // a name: DNS rebinding
      {"192.168.001.020:1566", false},  // not as the PC writes it
      {"192.168.1.20.:1566", false},
      {"", false},
      {":1566", false},
  };
  for (const auto& h : hosts) {
    EXPECT_EQ(browser::HostIsThisPc(h.host, served), h.passes) << '"' << h.host << '"';
  }
  EXPECT_TRUE(browser::OriginIsThePage("http://192.168.1.20:1566", "192.168.1.20:1566"));
  EXPECT_FALSE(browser::OriginIsThePage("https://192.168.1.20:1566", "192.168.1.20:1566"));
  EXPECT_FALSE(browser::OriginIsThePage("http://evil.example", "192.168.1.20:1566"));
  EXPECT_FALSE(browser::OriginIsThePage("null", "192.168.1.20:1566"));
  EXPECT_FALSE(browser::OriginIsThePage("", "192.168.1.20:1566"));
}

}  // namespace
