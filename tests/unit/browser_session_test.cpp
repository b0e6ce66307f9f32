// A browser remote's connection after the WebSocket framing: the challenge,
// the hello that proves a key (a paired one or the pairing window's), the
// sealed commands, and what each command decodes to.
#include <gtest/gtest.h>

#include <memory>

#include <string>

#include "browser/browser_commands.h"
#include "browser/browser_session.h"
#include "browser/key_ring.h"
#include "browser/paired_browsers.h"
#include "platform/crypto.h"

namespace {

using browser::SessionStep;
using platform::Bytes;
using Kind = SessionStep::Kind;

platform::ICrypto& Crypto() { return platform::SystemCrypto(); }
Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

constexpr std::uint32_t kPhone = 0x0A000002;

// Plays the page: answers the challenge with its key, then seals commands.
struct Page {
  explicit Page(Bytes key_bytes) : key(std::move(key_bytes)) {}
  Bytes key;
  Bytes nonce = Bytes(browser::kNonceBytes, 0x42);
  Bytes session;
  std::uint64_t sent = 0;

  std::string Id() const { return browser::BrowserIdOf(Crypto(), key); }
  Bytes Hello(const Bytes& challenge) {
    session = browser::SessionKeyOf(Crypto(), key, challenge, nonce);
    Bytes hello = FromText(Id());
    hello.insert(hello.end(), nonce.begin(), nonce.end());
    const Bytes proof = browser::ProofOf(Crypto(), key, challenge, nonce);
    hello.insert(hello.end(), proof.begin(), proof.end());
    return hello;
  }
  Bytes Command(const Bytes& payload) {
    return browser::Seal(Crypto(), session, browser::Direction::FromBrowser, ++sent, payload);
  }
};

class BrowserSession : public ::testing::Test {
 protected:
  BrowserSession() { keys.Add(page.Id(), page.key); }

  // A new connection of the page, proved.
  browser::TBrowserSession& Proved(Page& who) {
    connection.emplace(Crypto(), keys, limit, kPhone);
    const SessionStep challenge = connection->Start(now);
    EXPECT_EQ(challenge.kind, Kind::Reply);
    const SessionStep ok = connection->Take(who.Hello(challenge.bytes), now);
    EXPECT_EQ(ok.kind, Kind::Reply);
    return *connection;
  }

  Page page = Page(Bytes(32, 7));
  browser::TKeyRing keys;
  browser::TProofLimit limit;
  std::optional<browser::TBrowserSession> connection;
  std::uint64_t now = 1000;
};

TEST_F(BrowserSession, APairedBrowserProvesItsKeyAndItsCommandsArriveInOrder) {
  browser::TBrowserSession& session = Proved(page);
  EXPECT_EQ(session.Id(), page.Id());
  for (const char* text : {"Ta", "Tb"}) {
    const SessionStep step = session.Take(page.Command(FromText(text)), now);
    ASSERT_EQ(step.kind, Kind::Command);
    EXPECT_EQ(step.bytes, FromText(text));
  }
}

TEST_F(BrowserSession, TheHostsOkIsSealedSoThePageKnowsThePcHoldsTheKeyToo) {
  connection.emplace(Crypto(), keys, limit, kPhone);
  const Bytes challenge = connection->Start(now).bytes;
  const SessionStep ok = connection->Take(page.Hello(challenge), now);
  ASSERT_EQ(ok.kind, Kind::Reply);
  EXPECT_EQ(ok.bytes,
            browser::Seal(Crypto(), page.session, browser::Direction::FromHost, 1, FromText("ok")));
  EXPECT_FALSE(ok.paired_now);
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

// The same vector as the page's test, from Python's hmac module: the page
// and the host agree with a third implementation and so with each other.
TEST(BrowserVector, TheHostReadsTheHelloAndSealThePageMakes) {
  auto hex = [](const std::string& text) {
    Bytes bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
      bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
  };
  Bytes key(32);
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i);
  const Bytes challenge(16, 0x11), nonce(16, 0x22);
  EXPECT_EQ(browser::BrowserIdOf(Crypto(), key), "be48ecf09d59b6285");
  EXPECT_EQ(browser::ProofOf(Crypto(), key, challenge, nonce),
            hex("319e984c28ee2ae40a1abf9bec594962ee06387bce6a0035e2ecb0350b7ee692"));
  const Bytes session = browser::SessionKeyOf(Crypto(), key, challenge, nonce);
  EXPECT_EQ(session, hex("5e76818b7cffd6c15290c2952060968096e8aa20366329d51f0d6e1e57c362ea"));
  browser::TSealedChannel channel(Crypto(), session);
  EXPECT_EQ(
      channel.Open(hex("00000000000000014b026e29dc7f1e627bfc61952d3d6b75f6721f6993b861ddedcce3"
                       "7750aa2940259d")),
      Bytes({'K', 2}));
  EXPECT_EQ(channel.Seal(FromText("ok")),
            hex("00000000000000016f6bc2f1cfba76cb79eda03f959cae7f9c39d76af2d92f107215414dc1013fbd2"
                "2f1"));
}

TEST_F(BrowserSession, AFlippedBitAReplayOrACounterGoingBackEndsTheConnection) {
  struct Case {
    const char* what;
    std::function<Bytes(Page&, const Bytes& sent)> next;
  };
  const Case cases[] = {
      {"a flipped bit",
       [](Page& p, const Bytes&) {
         Bytes message = p.Command(FromText("Ta"));
         message[9] ^= 0x10;
         return message;
       }},
      {"the same message again", [](Page&, const Bytes& sent) { return sent; }},
      {"an older counter",
       [](Page& p, const Bytes&) {
         return browser::Seal(Crypto(), p.session, browser::Direction::FromBrowser, 1,
                              FromText("Tz"));
       }},
      {"the host's own message sent back",
       [](Page& p, const Bytes&) {
         return browser::Seal(Crypto(), p.session, browser::Direction::FromHost, 99,
                              FromText("Tz"));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Page fresh = page;
    browser::TBrowserSession& session = Proved(fresh);
    fresh.Command(FromText("Tx"));  // a counter the host never saw: gaps are allowed
    const Bytes sent = fresh.Command(FromText("Ty"));
    ASSERT_EQ(session.Take(sent, now).kind, Kind::Command);
    const SessionStep step = session.Take(c.next(fresh, sent), now);
    EXPECT_EQ(step.kind, Kind::Close);
    EXPECT_EQ(step.reason, browser::kRefused);
  }
}

TEST_F(BrowserSession, AForgottenBrowsersNextCommandEndsItsConnection) {
  browser::TBrowserSession& session = Proved(page);
  keys.Forget(page.Id());
  const SessionStep step = session.Take(page.Command(FromText("Ta")), now);
  EXPECT_EQ(step.kind, Kind::Close);
  EXPECT_EQ(step.reason, browser::kForgotten);
}

TEST_F(BrowserSession, ThePairingKeyPairsOneBrowserWithinItsTime) {
  Page newcomer(Bytes(32, 9));
  keys.Offer(newcomer.Id(), newcomer.key, now + 600'000);
  connection.emplace(Crypto(), keys, limit, kPhone);
  SessionStep step = connection->Take(newcomer.Hello(connection->Start(now).bytes), now);
  ASSERT_EQ(step.kind, Kind::Reply);
  EXPECT_TRUE(step.paired_now);
  EXPECT_TRUE(keys.Holds(newcomer.Id()));

  // A second browser that saw the code is not paired by it: the key now
  // belongs to the first, and proving it again is an ordinary connection.
  Page copy = newcomer;
  browser::TBrowserSession again(Crypto(), keys, limit, kPhone + 1);
  step = again.Take(copy.Hello(again.Start(now).bytes), now);
  EXPECT_EQ(step.kind, Kind::Reply);
  EXPECT_FALSE(step.paired_now);

  Page late(Bytes(32, 10));
  keys.Offer(late.Id(), late.key, now + 600'000);
  browser::TBrowserSession expired(Crypto(), keys, limit, kPhone);
  step = expired.Take(late.Hello(expired.Start(now + 600'000).bytes), now + 600'000);
  EXPECT_EQ(step.kind, Kind::Close);
  EXPECT_EQ(step.reason, browser::kForgotten);
  EXPECT_FALSE(keys.Holds(late.Id()));
}

TEST_F(BrowserSession, TwoBrowsersRacingForThePairingKeyPairOnlyTheFirst) {
  Page newcomer(Bytes(32, 9));
  keys.Offer(newcomer.Id(), newcomer.key, now + 600'000);
  browser::TBrowserSession first(Crypto(), keys, limit, kPhone);
  browser::TBrowserSession second(Crypto(), keys, limit, kPhone + 1);
  const Bytes first_challenge = first.Start(now).bytes;
  const Bytes second_challenge = second.Start(now).bytes;
  Page twin = newcomer;
  twin.nonce = Bytes(browser::kNonceBytes, 0x43);
  EXPECT_TRUE(first.Take(newcomer.Hello(first_challenge), now).paired_now);
  const SessionStep step = second.Take(twin.Hello(second_challenge), now);
  EXPECT_FALSE(step.paired_now);
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
