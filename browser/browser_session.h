#pragma once
// One WebSocket connection of the browser remote, after the framing: the
// challenge, the browser's answer, then its sealed messages.
//
//   host → browser   the challenge (16 bytes)
//   browser → host   hello: its id (17 characters) ‖ its nonce (16 bytes) ‖
//                    its proof (32 bytes)
//   host → browser   sealed "ok": the host holds the key too
//   browser → host   sealed commands, one per message
//
// Whatever breaks this order ends the connection with a reason the page
// shows: "forgotten" for an id this PC does not know (the page says "This
// PC forgot this browser"), "refused" for anything else.
#include <cstdint>
#include <optional>
#include <string>

#include "browser/channel_proof.h"
#include "browser/key_ring.h"
#include "browser/proof_limit.h"
#include "browser/sealed_channel.h"
#include "platform/crypto.h"

namespace browser {

inline constexpr std::size_t kIdChars = 17;  // "b" and 16 hex digits
inline constexpr std::size_t kHelloBytes = kIdChars + kNonceBytes + platform::ICrypto::kMacSize;
inline constexpr const char* kForgotten = "forgotten";
inline constexpr const char* kRefused = "refused";

// What the server does with a message's outcome.
struct SessionStep {
  enum class Kind { Reply, Command, Close };
  Kind kind = Kind::Close;
  platform::Bytes bytes;    // Reply: the message to send; Command: the payload
  std::string reason;       // Close: what the page is told
  bool paired_now = false;  // Reply to a hello that claimed the pairing key
};

// Lives on the server's thread; `limit` is that thread's too.
class TBrowserSession {
 public:
  TBrowserSession(platform::ICrypto& crypto, TKeyRing& keys, TProofLimit& limit, std::uint32_t peer)
      : crypto_(crypto), keys_(keys), limit_(limit), peer_(peer), proof_(crypto) {}

  // The challenge to send first, or a close: the address failed too often,
  // or the system gave no random bytes.
  SessionStep Start(std::uint64_t now_ms);
  SessionStep Take(const platform::Bytes& message, std::uint64_t now_ms);

  const std::string& Id() const { return id_; }
  bool Proved() const { return channel_.has_value(); }
  // The connection ended. One that took the challenge and neither proved
  // nor was refused for it (it closed, or sent a hello too large to read)
  // counts as a failed proof: true, and the server notes it.
  bool Ended(std::uint64_t now_ms);

 private:
  SessionStep Hello(const platform::Bytes& message, std::uint64_t now_ms);
  SessionStep Refuse(const char* reason, std::uint64_t now_ms);

  platform::ICrypto& crypto_;
  TKeyRing& keys_;
  TProofLimit& limit_;
  std::uint32_t peer_;
  TChannelProof proof_;
  bool started_ = false;
  bool closed_ = false;  // refused, or ended: counted once at most
  std::string id_;
  std::optional<TSealedChannel> channel_;
};

}  // namespace browser
