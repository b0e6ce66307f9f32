#pragma once
// One WebSocket connection of the browser remote, after the framing: the
// challenge, the browser's answer, then its encrypted messages.
//
//   host → browser   the challenge (32 bytes)
//   browser → host   hello: its id (17 characters) ‖ its nonce (32 bytes) ‖
//                    its proof (32 bytes)
//   host → browser   sealed "ok": the host holds the key too
//   browser → host   sealed "ok": the browser derived the same keys
//   browser → host   sealed commands, one per message
//
// A hello that names the pairing code claims it: both sides derive the
// browser's own key from the code's key and both nonces, the connection's
// keys come from that one, and the code pairs no other browser.
//
// Whatever breaks this order ends the connection with a reason the page
// shows: "forgotten" for an id this PC does not know (the page says "This
// PC forgot this browser"), "used" for a pairing code claimed already,
// "refused" for anything else. Until the browser's "ok", a failure counts
// against its address's proofs.
#include <cstdint>
#include <optional>
#include <string>

#include "browser/channel_keys.h"
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
inline constexpr const char* kCodeUsed = "used";

// What the server does with a message's outcome.
struct SessionStep {
  // Confirmed: the browser's "ok" came; it is connected from now on.
  enum class Kind { Reply, Confirmed, Command, Close };
  Kind kind = Kind::Close;
  platform::Bytes bytes;    // Reply: the message to send; Command: the payload
  std::string reason;       // Close: what the page is told
  bool paired_now = false;  // Confirmed, on a connection that claimed the pairing code
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

  // After the hello, the browser's own id (a claimed code's browser has a new one).
  const std::string& Id() const { return id_; }
  bool Proved() const { return confirmed_; }
  // The connection ended. One that took the challenge and neither proved
  // nor was refused for it (it closed, or sent a hello too large to read)
  // counts as a failed proof: true, and the server notes it.
  bool Ended(std::uint64_t now_ms);

 private:
  SessionStep Hello(const platform::Bytes& message, std::uint64_t now_ms);
  SessionStep Confirm(const std::optional<platform::Bytes>& payload, std::uint64_t now_ms);
  SessionStep Refuse(const char* reason, std::uint64_t now_ms);
  const char* UnknownReason(const std::string& id) const;

  platform::ICrypto& crypto_;
  TKeyRing& keys_;
  TProofLimit& limit_;
  std::uint32_t peer_;
  TChannelProof proof_;
  bool started_ = false;
  bool closed_ = false;   // refused, or ended: counted once at most
  bool claimed_ = false;  // this connection claimed the pairing code
  bool confirmed_ = false;
  std::string id_;
  std::optional<TSealedChannel> channel_;
};

}  // namespace browser
