#include "browser/browser_session.h"

#include <algorithm>

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
  if (!found) return Refuse(kForgotten, now_ms);
  std::optional<platform::Bytes> session = proof_.Verify(
      found->key, platform::Bytes(nonce_at, proof_at), platform::Bytes(proof_at, message.end()));
  if (!session) return Refuse(kRefused, now_ms);
  // Two browsers racing for the pairing key: only the first is paired.
  const bool paired_now = found->pairing && keys_.Claim(id, now_ms);
  if (found->pairing && !paired_now) return Refuse(kForgotten, now_ms);
  id_ = std::move(id);
  channel_.emplace(crypto_, std::move(*session));
  const std::string ok = "ok";
  SessionStep step{SessionStep::Kind::Reply, channel_->Seal(platform::Bytes(ok.begin(), ok.end())),
                   ""};
  step.paired_now = paired_now;
  return step;
}

SessionStep TBrowserSession::Refuse(const char* reason, std::uint64_t now_ms) {
  closed_ = true;
  limit_.Failed(peer_, now_ms);
  return Close(reason);
}

bool TBrowserSession::Ended(std::uint64_t now_ms) {
  if (!started_ || closed_ || channel_) return false;
  closed_ = true;
  limit_.Failed(peer_, now_ms);
  return true;
}

}  // namespace browser
