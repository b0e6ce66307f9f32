#include "browser/browser_session.h"

#include <algorithm>

#include "browser/paired_browsers.h"

namespace browser {
namespace {

SessionStep Close(const char* reason) { return {SessionStep::Kind::Close, {}, reason}; }

bool LooksLikeId(const std::string& id) {
  return id.size() == kIdChars && id[0] == 'b' && std::all_of(id.begin() + 1, id.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

}  // namespace

SessionStep TBrowserSession::Start(std::uint64_t now_ms) {
  if (started_) return Close(kRefused);
  if (!limit_.MayTry(peer_, now_ms)) {
    closed_ = true;  // refused before any try: nothing more to count
    return Close(kRefused);
  }
  started_ = true;
  const platform::Bytes& challenge = proof_.Challenge();
  if (challenge.size() != kNonceBytes) return Close(kRefused);
  return {SessionStep::Kind::Reply, challenge, ""};
}

SessionStep TBrowserSession::Take(const platform::Bytes& message, std::uint64_t now_ms) {
  if (!started_) return Close(kRefused);
  if (!channel_) return Hello(message, now_ms);
  std::optional<platform::Bytes> payload = channel_->Open(message);
  if (!confirmed_) return Confirm(payload, now_ms);
  if (!payload) return Close(kRefused);
  // Forgotten while connected: this command is the last it sends.
  if (!keys_.Holds(id_)) return Close(kForgotten);
  return {SessionStep::Kind::Command, std::move(*payload), ""};
}

SessionStep TBrowserSession::Hello(const platform::Bytes& message, std::uint64_t now_ms) {
  // Connections opened before the address's failures get no more tries than
  // one opened after them.
  if (!limit_.MayTry(peer_, now_ms)) {
    closed_ = true;
    return Close(kRefused);
  }
  if (message.size() != kHelloBytes) return Refuse(kRefused, now_ms);
  const auto nonce_at = message.begin() + kIdChars;
  const auto proof_at = nonce_at + kNonceBytes;
  std::string id(message.begin(), nonce_at);
  if (!LooksLikeId(id)) return Refuse(kRefused, now_ms);
  const std::optional<TKeyRing::Found> found = keys_.Find(id, now_ms);
  if (!found) return Refuse(UnknownReason(id), now_ms);
  const platform::Bytes nonce(nonce_at, proof_at);
  if (!proof_.Verify(found->key, nonce, platform::Bytes(proof_at, message.end()))) {
    return Refuse(kRefused, now_ms);
  }
  const platform::Bytes& challenge = proof_.Challenge();
  platform::Bytes key = found->key;
  if (found->pairing) {
    key = OwnKeyOf(crypto_, found->key, challenge, nonce);
    const std::string own_id = BrowserIdOf(crypto_, key);
    // Two browsers racing for the code: only the first is paired.
    if (key.size() != platform::ICrypto::kCipherKeySize || !keys_.Claim(id, own_id, key, now_ms)) {
      return Refuse(UnknownReason(id), now_ms);
    }
    claimed_ = true;
    id = own_id;
  }
  id_ = std::move(id);
  ChannelKeys channel_keys = ChannelKeysOf(crypto_, key, challenge, nonce);
  const std::string ok = "ok";
  platform::Bytes reply;
  if (channel_keys.Valid()) {
    channel_.emplace(crypto_, std::move(channel_keys));
    reply = channel_->Seal(platform::Bytes(ok.begin(), ok.end()));
  }
  if (reply.empty()) return Confirm(std::nullopt, now_ms);  // the system failed
  return {SessionStep::Kind::Reply, std::move(reply), ""};
}

// The browser's first message shows that it derived the same keys.
SessionStep TBrowserSession::Confirm(const std::optional<platform::Bytes>& payload,
                                     std::uint64_t now_ms) {
  const std::string ok = "ok";
  if (!payload || *payload != platform::Bytes(ok.begin(), ok.end())) {
    // A claimed code's own key was made for this connection and nobody holds it now.
    if (claimed_) keys_.Forget(id_);
    return Refuse(kRefused, now_ms);
  }
  confirmed_ = true;
  SessionStep step{SessionStep::Kind::Confirmed, {}, ""};
  step.paired_now = claimed_;
  return step;
}

const char* TBrowserSession::UnknownReason(const std::string& id) const {
  return keys_.WasClaimed(id) ? kCodeUsed : kForgotten;
}

SessionStep TBrowserSession::Refuse(const char* reason, std::uint64_t now_ms) {
  closed_ = true;
  limit_.Failed(peer_, now_ms);
  return Close(reason);
}

bool TBrowserSession::Ended(std::uint64_t now_ms) {
  if (!started_ || closed_ || confirmed_) return false;
  closed_ = true;
  if (claimed_) keys_.Forget(id_);
  limit_.Failed(peer_, now_ms);
  return true;
}

}  // namespace browser
