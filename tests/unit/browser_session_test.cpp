// A browser remote's connection after the WebSocket framing: the challenge,
// the hello that proves a key (a paired one or the pairing code's), the
// page's "ok", the encrypted commands, and what each command decodes to.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "browser/browser_commands.h"
#include "browser/browser_session.h"
#include "browser/key_ring.h"
#include "browser/paired_browsers.h"
#include "tests/doubles/page_side.h"
#include "platform/crypto.h"

namespace {

using browser::SessionStep;
using platform::Bytes;
using Kind = SessionStep::Kind;
using Page = doubles::PageSide;

platform::ICrypto& Crypto() { return platform::SystemCrypto(); }
Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

constexpr std::uint32_t kPhone = 0x0A000002;

class BrowserSession : public ::testing::Test {
 protected:
  BrowserSession() { keys.Add(page.Id(), page.key); }

  // A new connection of the page, proved and confirmed.
  browser::TBrowserSession& Proved(Page& who, std::uint32_t from = kPhone) {
    connection.emplace(Crypto(), keys, limit, from);
    const SessionStep challenge = connection->Start(now);
    EXPECT_EQ(challenge.kind, Kind::Reply);
    const SessionStep ok = connection->Take(who.Hello(challenge.bytes), now);
    EXPECT_EQ(ok.kind, Kind::Reply);
    EXPECT_EQ(who.Opened(ok.bytes), FromText("ok"));
    last_confirm = connection->Take(who.Ok(), now);
    EXPECT_EQ(last_confirm.kind, Kind::Confirmed);
    return *connection;
  }

  Page page = Page(Bytes(32, 7));
  browser::TKeyRing keys;
  browser::TProofLimit limit;
  std::optional<browser::TBrowserSession> connection;
  SessionStep last_confirm;
  std::uint64_t now = 1000;
};

TEST_F(BrowserSession, APairedBrowserProvesItsKeyAndItsCommandsArriveInOrder) {
  browser::TBrowserSession& session = Proved(page);
  EXPECT_EQ(session.Id(), page.Id());
  for (const char* text : {"Ta", "Tb"}) {
    const SessionStep step = session.Take(page.Sealed(FromText(text)), now);
    ASSERT_EQ(step.kind, Kind::Command);
    EXPECT_EQ(step.bytes, FromText(text));
  }
}

TEST_F(BrowserSession, BothOksShowEachSideDerivedTheSameKeysAndOnlyThenIsItConnected) {
  connection.emplace(Crypto(), keys, limit, kPhone);
  const Bytes challenge = connection->Start(now).bytes;
  const SessionStep ok = connection->Take(page.Hello(challenge), now);
  ASSERT_EQ(ok.kind, Kind::Reply);
  EXPECT_EQ(ok.bytes, browser::Seal(Crypto(), page.keys.from_host, 1, FromText("ok")));
  EXPECT_FALSE(connection->Proved()) << "not before the page's ok";
  const SessionStep confirmed = connection->Take(page.Ok(), now);
  EXPECT_EQ(confirmed.kind, Kind::Confirmed);
  EXPECT_FALSE(confirmed.paired_now);
  EXPECT_TRUE(connection->Proved());
}

// A page that proved the key but did not derive the keys (or sent anything
// else first) is refused, and that counts as a failed proof.
TEST_F(BrowserSession, AFirstMessageThatIsNotTheOkIsAFailedProof) {
  const std::function<Bytes(Page&)> firsts[] = {
      [](Page& p) { return p.Sealed(FromText("Ta")); },
      [](Page& p) { return browser::Seal(Crypto(), p.keys.from_host, 1, FromText("ok")); },
      [](Page& p) {
        Bytes ok = p.Ok();
        ok.back() ^= 1;
        return ok;
      },
  };
  for (const auto& first : firsts) {
    browser::TBrowserSession session(Crypto(), keys, limit, kPhone);
    session.Take(page.Hello(session.Start(now).bytes), now);
    const SessionStep step = session.Take(first(page), now);
    EXPECT_EQ(step.kind, Kind::Close);
    EXPECT_EQ(step.reason, browser::kRefused);
    EXPECT_FALSE(session.Proved());
  }
  limit.Failed(kPhone, now);
  limit.Failed(kPhone, now);
  EXPECT_FALSE(limit.MayTry(kPhone, now)) << "the three were counted";
}

// Every way a message can be wrong ends the connection, with the reason the page shows.
TEST_F(BrowserSession, WhatIsWrongClosesTheConnection) {
  struct Case {
    const char* what;
    std::function<Bytes(Page&, const Bytes& challenge)> hello;
    const char* reason;
  };
  const Case cases[] = {
      {"a wrong key",
       [](Page&, const Bytes& c) {
         Page other(Bytes(32, 8));
         return other.Hello(c);
       },
       browser::kForgotten},
      {"the right id with a wrong proof",
       [](Page& p, const Bytes& c) {
         Bytes hello = p.Hello(c);
         hello.back() ^= 1;
         return hello;
       },
       browser::kRefused},
      {"a proof made for another challenge",
       [](Page& p, const Bytes&) { return p.Hello(Bytes(browser::kNonceBytes, 0)); },
       browser::kRefused},
      {"a hello one byte short",
       [](Page& p, const Bytes& c) {
         Bytes hello = p.Hello(c);
         hello.pop_back();
         return hello;
       },
       browser::kRefused},
      {"an id that is not one",
       [](Page& p, const Bytes& c) {
         Bytes hello = p.Hello(c);
         hello[0] = 'B';
         return hello;
       },
       browser::kRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    browser::TProofLimit fresh;
    browser::TBrowserSession session(Crypto(), keys, fresh, kPhone);
    const Bytes challenge = session.Start(now).bytes;
    const SessionStep step = session.Take(c.hello(page, challenge), now);
    EXPECT_EQ(step.kind, Kind::Close);
    EXPECT_EQ(step.reason, c.reason);
    EXPECT_FALSE(session.Proved());
  }
}

TEST_F(BrowserSession, ConnectionsOpenedBeforeTheFailuresGetNoMoreTries) {
  // Ten connections challenged first, then a wrong proof on each.
  std::vector<std::unique_ptr<browser::TBrowserSession>> opened;
  std::vector<Bytes> challenges;
  for (int i = 0; i < 10; ++i) {
    opened.push_back(std::make_unique<browser::TBrowserSession>(Crypto(), keys, limit, kPhone));
    challenges.push_back(opened.back()->Start(now).bytes);
    ASSERT_EQ(challenges.back().size(), browser::kNonceBytes);
  }
  Page stranger(Bytes(32, 9));
  keys.Add(stranger.Id(), Bytes(32, 8));  // an id this PC knows, a key it does not
  for (std::size_t i = 0; i < browser::TProofLimit::kFailuresPerMinute; ++i) {
    EXPECT_EQ(opened[i]->Take(stranger.Hello(challenges[i]), now).kind, Kind::Close);
  }
  // The sixth proves nothing more, even with the right key: the limit holds at the hello.
  const SessionStep step = opened[5]->Take(page.Hello(challenges[5]), now);
  EXPECT_EQ(step.kind, Kind::Close);
  EXPECT_FALSE(opened[5]->Proved());
  now += browser::TProofLimit::kMinuteMs;
  EXPECT_EQ(opened[6]->Take(page.Hello(challenges[6]), now).kind, Kind::Reply)
      << "a minute later the address may try again";
}

TEST_F(BrowserSession, AnEndWithoutAProofCountsOnceAndAProvedOrRefusedOneNot) {
  browser::TBrowserSession left(Crypto(), keys, limit, kPhone);
  EXPECT_FALSE(left.Ended(now)) << "never challenged: nothing tried";
  left.Start(now);
  EXPECT_TRUE(left.Ended(now));
  EXPECT_FALSE(left.Ended(now)) << "once";
  EXPECT_FALSE(Proved(page).Ended(now));
  browser::TBrowserSession refused(Crypto(), keys, limit, kPhone);
  refused.Take(page.Hello(Bytes(browser::kNonceBytes, 0)), now);  // before the challenge
  const Bytes challenge = refused.Start(now).bytes;
  Page stranger(Bytes(32, 9));
  EXPECT_EQ(refused.Take(stranger.Hello(challenge), now).kind, Kind::Close);
  EXPECT_FALSE(refused.Ended(now)) << "counted when it was refused";
  for (int i = 0; i < 3; ++i) {
    browser::TBrowserSession another(Crypto(), keys, limit, kPhone);
    another.Start(now);
    another.Ended(now);
  }
  browser::TBrowserSession sixth(Crypto(), keys, limit, kPhone);
  EXPECT_EQ(sixth.Start(now).kind, Kind::Close) << "five failures in the minute";
  EXPECT_FALSE(sixth.Ended(now));
}

// The vector of tools/channel_vector.py, computed by Python's cryptography
// package, which the page's test reads too: the page and the host agree
// with a third implementation and so with each other.
std::string VectorField(const std::string& name) {
  std::ifstream file(MIROVANTA_CHANNEL_VECTOR);
  std::stringstream text;
  text << file.rdbuf();
  const std::string all = text.str(), key = "\"" + name + "\": \"";
  const std::size_t at = all.find(key);
  if (at == std::string::npos) return "";
  const std::size_t from = at + key.size();
  return all.substr(from, all.find('"', from) - from);
}

Bytes VectorBytes(const std::string& name) {
  const std::string text = VectorField(name);
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

TEST(BrowserVector, TheHostClaimsTheCodeAndReadsWhatThePageSealsAsTheVectorSays) {
  const Bytes code = VectorBytes("code"), challenge = VectorBytes("challenge");
  const Bytes nonce = VectorBytes("nonce");
  ASSERT_EQ(code.size(), 32u) << MIROVANTA_CHANNEL_VECTOR;
  const Bytes own = browser::OwnKeyOf(Crypto(), code, challenge, nonce);
  EXPECT_EQ(own, VectorBytes("own_key"));
  EXPECT_EQ(browser::BrowserIdOf(Crypto(), own), VectorField("own_id"));
  const browser::ChannelKeys keys = browser::ChannelKeysOf(Crypto(), own, challenge, nonce);
  EXPECT_EQ(keys.from_browser, VectorBytes("to_host"));
  EXPECT_EQ(keys.from_host, VectorBytes("from_host"));

  Page page(code, true);
  page.nonce = nonce;
  EXPECT_EQ(page.Hello(challenge), VectorBytes("hello"));
  browser::TSealedChannel channel(Crypto(), keys);
  EXPECT_EQ(channel.Seal(FromText("ok")), VectorBytes("host_ok"));
  EXPECT_EQ(channel.Open(VectorBytes("page_ok")), FromText("ok"));
  EXPECT_EQ(channel.Open(VectorBytes("typed_sealed")), FromText("T" + VectorField("typed")));
}

TEST(BrowserVector, HkdfGivesTheStandardsFirstVector) {
  // RFC 5869, test case 1.
  const Bytes secret(22, 0x0b);
  const Bytes salt{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::string info = {'\xf0', '\xf1', '\xf2', '\xf3', '\xf4',
                            '\xf5', '\xf6', '\xf7', '\xf8', '\xf9'};
  const Bytes out = browser::Hkdf(Crypto(), secret, salt, info, 42);
  std::string hex;
  for (std::uint8_t b : out) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
  EXPECT_EQ(hex,
            "3cb25f25faacd57a90434f64d0362f2a2d2d0a90cf1a5a4c5db02d56ecc4c5bf34007208d5b887185865");
}

TEST_F(BrowserSession, AFlippedBitAReplayASkipOrTheOtherDirectionEndsTheConnection) {
  struct Case {
    const char* what;
    std::function<Bytes(Page&, const Bytes& sent)> next;
  };
  const Case cases[] = {
      {"a flipped bit",
       [](Page& p, const Bytes&) {
         Bytes message = p.Sealed(FromText("Ta"));
         message[9] ^= 0x10;
         return message;
       }},
      {"the same message again", [](Page&, const Bytes& sent) { return sent; }},
      {"an older number",
       [](Page& p, const Bytes&) {
         return browser::Seal(Crypto(), p.keys.from_browser, 1, FromText("Tz"));
       }},
      {"a number skipped",
       [](Page& p, const Bytes&) {
         p.Sealed(FromText("Tx"));  // never sent
         return p.Sealed(FromText("Tz"));
       }},
      {"sealed with the host's key",
       [](Page& p, const Bytes&) {
         return browser::Seal(Crypto(), p.keys.from_host, p.sent + 1, FromText("Tz"));
       }},
      {"the number changed on the way",
       [](Page& p, const Bytes&) {
         Bytes message = p.Sealed(FromText("Tz"));
         message[7] ^= 1;
         return message;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Page fresh = page;
    browser::TBrowserSession& session = Proved(fresh);
    const Bytes sent = fresh.Sealed(FromText("Ty"));
    ASSERT_EQ(session.Take(sent, now).kind, Kind::Command);
    const SessionStep step = session.Take(c.next(fresh, sent), now);
    EXPECT_EQ(step.kind, Kind::Close);
    EXPECT_EQ(step.reason, browser::kRefused);
  }
}

TEST_F(BrowserSession, AForgottenBrowsersNextCommandEndsItsConnection) {
  browser::TBrowserSession& session = Proved(page);
  keys.Forget(page.Id());
  const SessionStep step = session.Take(page.Sealed(FromText("Ta")), now);
  EXPECT_EQ(step.kind, Kind::Close);
  EXPECT_EQ(step.reason, browser::kForgotten);
}

TEST_F(BrowserSession, TheCodePairsOneBrowserUnderAKeyOfItsOwnAndIsDeadFromThen) {
  Page newcomer(Bytes(32, 9), true);
  keys.Offer(newcomer.Id(), newcomer.key, now + 600'000);
  browser::TBrowserSession& claimed = Proved(newcomer);
  EXPECT_TRUE(last_confirm.paired_now);
  EXPECT_EQ(claimed.Id(), newcomer.OwnId());
  EXPECT_NE(newcomer.own, newcomer.key);
  EXPECT_TRUE(keys.Holds(newcomer.OwnId()));
  EXPECT_FALSE(keys.Holds(newcomer.Id())) << "the code's key is not kept";
  EXPECT_EQ(keys.Find(newcomer.OwnId(), now)->key, newcomer.own);

  // Someone who photographed the code, an hour later and elsewhere: refused
  // with its own reason, claiming or proving the code's key as a paired one.
  for (bool claiming : {true, false}) {
    Page copy(newcomer.key, claiming);
    copy.nonce = Bytes(browser::kNonceBytes, 0x55);
    browser::TBrowserSession again(Crypto(), keys, limit, kPhone + 1);
    const SessionStep step =
        again.Take(copy.Hello(again.Start(now + 3'600'000).bytes), now + 3'600'000);
    EXPECT_EQ(step.kind, Kind::Close);
    EXPECT_EQ(step.reason, browser::kCodeUsed);
  }
  // The browser itself reconnects with its own key.
  Page phone(newcomer.own);
  Proved(phone);
  EXPECT_FALSE(last_confirm.paired_now);

  Page late(Bytes(32, 10), true);
  keys.Offer(late.Id(), late.key, now + 600'000);
  browser::TBrowserSession expired(Crypto(), keys, limit, kPhone);
  const SessionStep step =
      expired.Take(late.Hello(expired.Start(now + 600'000).bytes), now + 600'000);
  EXPECT_EQ(step.kind, Kind::Close);
  EXPECT_EQ(step.reason, browser::kForgotten);
}

TEST_F(BrowserSession, TwoBrowsersRacingForTheCodePairOnlyTheFirst) {
  Page newcomer(Bytes(32, 9), true);
  keys.Offer(newcomer.Id(), newcomer.key, now + 600'000);
  browser::TBrowserSession first(Crypto(), keys, limit, kPhone);
  browser::TBrowserSession second(Crypto(), keys, limit, kPhone + 1);
  const Bytes first_challenge = first.Start(now).bytes;
  const Bytes second_challenge = second.Start(now).bytes;
  Page twin = newcomer;
  twin.nonce = Bytes(browser::kNonceBytes, 0x43);
  EXPECT_EQ(first.Take(newcomer.Hello(first_challenge), now).kind, Kind::Reply);
  const SessionStep step = second.Take(twin.Hello(second_challenge), now);
  EXPECT_EQ(step.kind, Kind::Close);
  EXPECT_EQ(step.reason, browser::kCodeUsed);
  EXPECT_FALSE(keys.Holds(twin.OwnId()));
}

TEST_F(BrowserSession, AClaimThatIsNeverConfirmedLeavesNoKeyBehind) {
  for (bool closes : {true, false}) {
    Page newcomer(Bytes(32, closes ? 11 : 12), true);
    keys.Offer(newcomer.Id(), newcomer.key, now + 600'000);
    browser::TBrowserSession session(Crypto(), keys, limit, kPhone);
    ASSERT_EQ(session.Take(newcomer.Hello(session.Start(now).bytes), now).kind, Kind::Reply);
    ASSERT_TRUE(keys.Holds(newcomer.OwnId()));
    if (closes) {
      EXPECT_TRUE(session.Ended(now));
    } else {
      EXPECT_EQ(session.Take(newcomer.Sealed(FromText("no")), now).kind, Kind::Close);
    }
    EXPECT_FALSE(keys.Holds(newcomer.OwnId()));
    EXPECT_TRUE(keys.WasClaimed(newcomer.Id())) << "the code stays dead";
  }
}

TEST_F(BrowserSession, FiveFailedProofsAMinuteCloseTheSixthBeforeItsChallenge) {
  for (int failure = 0; failure < 5; ++failure) {
    browser::TBrowserSession session(Crypto(), keys, limit, kPhone);
    ASSERT_EQ(session.Start(now).kind, Kind::Reply);
    ASSERT_EQ(session.Take(FromText("nonsense"), now).kind, Kind::Close);
  }
  browser::TBrowserSession sixth(Crypto(), keys, limit, kPhone);
  EXPECT_EQ(sixth.Start(now).kind, Kind::Close);
  browser::TBrowserSession elsewhere(Crypto(), keys, limit, kPhone + 1);
  EXPECT_EQ(elsewhere.Start(now).kind, Kind::Reply);
  browser::TBrowserSession next_minute(Crypto(), keys, limit, kPhone);
  EXPECT_EQ(next_minute.Start(now + 60'000).kind, Kind::Reply);
}

TEST_F(BrowserSession, AMessageBeforeTheChallengeProvesNothing) {
  browser::TBrowserSession session(Crypto(), keys, limit, kPhone);
  EXPECT_EQ(session.Take(page.Hello(Bytes(browser::kNonceBytes, 0)), now).kind, Kind::Close);
}

}  // namespace
