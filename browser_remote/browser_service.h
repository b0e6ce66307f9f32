#pragma once
// The browser remote as one capability: "Pair a browser…" and its window,
// the paired browsers under "Devices", and the server whose proved
// browsers' commands it hands to the main thread, into the same gate as the
// app's; what passes goes the app's way to the capability that owns it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "access/access_service.h"
#include "browser/key_ring.h"
#include "browser/paired_browsers.h"
#include "browser/pairing.h"
#include "browser/request_rules.h"
#include "browser/web_server.h"
#include "platform/crypto.h"
#include "platform/dialogs.h"
#include "platform/protect.h"
#include "platform/registry.h"
#include "platform/signal.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/timers.h"
#include "protocol/main_thread_handover.h"
#include "service/capability.h"
#include "service/host_events.h"

namespace browser_remote {

struct TBrowserPlatform {
  platform::ICrypto& crypto;
  platform::IProtect& protect;
  platform::IRegistry& registry;
  platform::ISystem& system;
  platform::IDialogs& dialogs;
  platform::ISockets& sockets;
  platform::ITimers& timers;
};

inline constexpr const char* kPairCaption = "Pair a browser\xE2\x80\xA6";
inline constexpr const char* kPairingWords =
    "Scan this code with the phone's camera. Whoever sees it can control this PC until you "
    "forget the browser in Devices.";

class TBrowserService final : public service::ICapability {
 public:
  // `wake` tells the main thread that a browser's command waits; `access`
  // is the gate the commands go through, and the nearby rule.
  TBrowserService(TBrowserPlatform platform, service::IHostEvents& events,
                  access_policy::TAccessService& access, std::function<void()> wake);
  ~TBrowserService() override;
  TBrowserService(const TBrowserService&) = delete;
  TBrowserService& operator=(const TBrowserService&) = delete;

  service::TMenuItem PairBrowser1{kPairCaption};
  std::vector<service::TMenuItem*> MenuRows() override { return {&PairBrowser1}; }
  void PairBrowser1Click();

  // Its part of the start-up: the paired browsers, then the server. A port
  // that cannot be had is logged; the rest of the host goes on without it.
  void Load();
  void Listen(std::uint16_t port = browser::kBrowserPort);
  // Releases a command that waits, then ends the server.
  void Stop();

  // The paired browsers' rows under "Devices", each with "Forget…".
  std::vector<service::TMenuItem> DeviceRows();
  // By value: the id may be the store's own, which forgetting frees.
  void ForgetBrowserClick(std::string id, const std::string& caption);
  // The main thread runs what the server's thread hands it here.
  protocol::TMainThreadHandover& Handover() { return handover_; }
  std::uint16_t Port() const { return server_ ? server_->Port() : 0; }
  bool Listening() const { return server_ != nullptr; }
  const browser::TPairedBrowsers& Paired() const { return store_; }

 private:
  // On the server's thread: runs `call` on the main thread and waits for it.
  void OnMainThread(const std::function<void()>& call);

  void Connected(std::uint32_t peer, const std::string& id, bool paired_now);
  void Disconnected(std::uint32_t peer, const std::string& id);
  void Noted(std::uint32_t peer, browser::ServerNote note);
  void ShowPairing(std::size_t chosen);
  void ClosePairing();

  TBrowserPlatform platform_;
  service::IHostEvents& events_;
  access_policy::TAccessService& access_;
  browser::TPairedBrowsers store_;
  browser::TKeyRing keys_;
  browser::TPairing pairing_;
  platform::Bytes pairing_key_;  // the open window's, while it is open
  int pairing_timer_ = 0;        // closes the window when its key runs out
  protocol::TMainThreadHandover handover_;
  platform::TConditionSignal handed_;  // the server thread's, for the hand-over
  std::unique_ptr<browser::TWebServer> server_;
  // The proved connections' addresses per browser: one id at two addresses
  // at once is someone else holding its key, or the same phone that moved.
  std::multimap<std::string, std::uint32_t> connected_;
};

}  // namespace browser_remote
