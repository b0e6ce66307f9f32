#include "browser_remote/browser_service.h"

#include <exception>

#include "access/nearby_rule.h"
#include "browser/page_files.h"
#include "browser/qr_code.h"
#include "platform/ipv4.h"

namespace browser_remote {
namespace {

using service::Origin;

std::string PageAddress(std::uint32_t address, const platform::Bytes& key) {
  // The key rides in the fragment, which a browser never sends.
  return "http://" + platform::Ipv4ToText(address) + ":" + std::to_string(browser::kBrowserPort) +
         "/#" + browser::Hex(key, key.size());
}

service::Refusal RefusalOf(browser::ServerNote note) {
  switch (note) {
    case browser::ServerNote::ProofRefused: return service::Refusal::BrowserProofFailed;
    case browser::ServerNote::UnknownBrowser: return service::Refusal::BrowserUnknown;
    case browser::ServerNote::BadRequest: return service::Refusal::BrowserRequestRefused;
    case browser::ServerNote::CodeUsedAgain: return service::Refusal::PairingCodeUsedAgain;
    default: return service::Refusal::BrowserTooMany;
  }
}

}  // namespace

TBrowserService::TBrowserService(TBrowserPlatform platform, service::IHostEvents& events,
                                 access_policy::TAccessService& access, std::function<void()> wake)
    : platform_(platform),
      events_(events),
      access_(access),
      store_(platform.registry, platform.protect),
      pairing_(platform.crypto),
      handover_(std::move(wake)) {
  PairBrowser1.OnClick = [this] { PairBrowser1Click(); };
}

TBrowserService::~TBrowserService() { Stop(); }

void TBrowserService::Load() {
  store_.Load();
  for (const browser::PairedBrowser& paired : store_.Browsers()) keys_.Add(paired.id, paired.key);
}

void TBrowserService::Listen(std::uint16_t port) {
  browser::ServerHooks hooks;
  hooks.may_connect = [this](std::uint32_t peer) { return access_.Nearby.IsNearby(peer); };
  hooks.addresses = [this] { return access_.Nearby.Addresses(); };
  hooks.command = [this](std::uint32_t peer, const std::string& id, const service::Ask& command) {
    OnMainThread([&] { access_.CommandArrived({Origin::Browser(peer, id), command}); });
  };
  hooks.connected = [this](std::uint32_t peer, const std::string& id, bool paired_now) {
    OnMainThread([&] { Connected(peer, id, paired_now); });
  };
  hooks.disconnected = [this](std::uint32_t peer, const std::string& id) {
    OnMainThread([&] { Disconnected(peer, id); });
  };
  hooks.noted = [this](std::uint32_t peer, browser::ServerNote note) {
    OnMainThread([&] { Noted(peer, note); });
  };
  hooks.now_ms = [this] { return platform_.system.TickCountMs(); };
  auto server = std::make_unique<browser::TWebServer>(platform_.crypto, keys_, browser::PageFiles(),
                                                      std::move(hooks));
  std::string error;
  handover_.Open();
  if (!server->Start(port, error)) {
    events_.Happened({}, service::Activity::BrowserNotListening, error);
    return;
  }
  server_ = std::move(server);
}

void TBrowserService::Stop() {
  handover_.Close();
  if (server_) server_->Stop();
  server_.reset();
  ClosePairing();
}

void TBrowserService::OnMainThread(const std::function<void()>& call) {
  std::exception_ptr error;
  handover_.Synchronize(call, error, handed_);
  // What a command raised was told in the log where it happened (a busy
  // clipboard); the browser's next command goes on as the app's would.
}

void TBrowserService::Connected(std::uint32_t peer, const std::string& id, bool paired_now) {
  const Origin browser = Origin::Browser(peer, id);
  const service::Device& device = browser.device;
  if (paired_now) {
    // The server moved the claimed key among the paired ones.
    const auto claimed = keys_.Find(id, platform_.system.TickCountMs());
    browser::PairedBrowser paired{id, browser::PairedAtText(platform_.system.LocalNow()),
                                  claimed ? claimed->key : platform::Bytes{}};
    // Not stored (no DPAPI, a full registry): paired for this run only.
    store_.Add(paired);
    pairing_.Claimed();
    ClosePairing();
    events_.Happened(device, service::Activity::BrowserPaired, "");
  }
  events_.Happened(device, service::Activity::Connected, "");
  const auto [first, last] = connected_.equal_range(id);
  for (auto at = first; at != last; ++at) {
    if (at->second == peer) continue;
    events_.Happened(device, service::Activity::BrowserAtTwoAddresses,
                     platform::Ipv4ToText(at->second));
    break;
  }
  connected_.emplace(id, peer);
  events_.DeviceConnected(browser);
}

// Every subscriber hears of it: the buttons it held are let go, the icon
// and the Devices menu no longer count it.
void TBrowserService::Disconnected(std::uint32_t peer, const std::string& id) {
  const Origin browser = Origin::Browser(peer, id);
  const auto [first, last] = connected_.equal_range(id);
  for (auto at = first; at != last; ++at) {
    if (at->second != peer) continue;
    connected_.erase(at);
    break;
  }
  events_.Happened(browser.device, service::Activity::Disconnected, "");
  events_.DeviceDisconnected(browser);
}

void TBrowserService::Noted(std::uint32_t peer, browser::ServerNote note) {
  events_.Refused({peer, service::kUnprovedBrowser}, RefusalOf(note));
}

void TBrowserService::PairBrowser1Click() {
  const std::optional<platform::Bytes> key = pairing_.Open(platform_.system.TickCountMs());
  if (!key) {
    platform_.dialogs.Confirm("Mirovanta 2",
                              "Windows gave no random numbers for a key: try again later.");
    return;
  }
  pairing_key_ = *key;
  keys_.Offer(browser::BrowserIdOf(platform_.crypto, *key), *key,
              platform_.system.TickCountMs() + browser::TPairing::kValidForMs);
  ShowPairing(0);
  // A code that can no longer pair does not stay on the screen.
  if (pairing_timer_ == 0) {
    pairing_timer_ = platform_.timers.Start(static_cast<unsigned>(browser::TPairing::kValidForMs),
                                            [this] { ClosePairing(); });
  }
}

void TBrowserService::ShowPairing(std::size_t chosen) {
  const std::vector<std::uint32_t> addresses =
      access_policy::ServedAddresses(platform_.sockets.Interfaces());
  platform::PairingView view;
  view.caption = "Mirovanta 2: pair a browser";
  view.words = kPairingWords;
  for (std::uint32_t address : addresses) view.choices.push_back(platform::Ipv4ToText(address));
  view.chosen = chosen < addresses.size() ? chosen : 0;
  if (addresses.empty()) {
    view.note = "This PC is on no network a phone could reach it on.";
  } else {
    view.text = PageAddress(addresses[view.chosen], pairing_key_);
    if (std::optional<browser::QrModules> code = browser::QrCodeOf(view.text)) {
      view.modules = code->size;
      view.dark = code->dark;
    }
    view.note = "The code pairs one browser, within 10 minutes.";
  }
  platform_.dialogs.ShowPairing(
      view, [this](std::size_t index) { ShowPairing(index); }, [this] { ClosePairing(); });
}

void TBrowserService::ClosePairing() {
  if (pairing_timer_ != 0) platform_.timers.Stop(pairing_timer_);
  pairing_timer_ = 0;
  pairing_.Close();
  keys_.Withdraw();
  pairing_key_.clear();
  if (platform_.dialogs.PairingShown()) platform_.dialogs.ClosePairing();
}

std::vector<service::TMenuItem> TBrowserService::DeviceRows() {
  std::vector<service::TMenuItem> rows;
  for (const browser::PairedBrowser& paired : store_.Browsers()) {
    const std::string caption = browser::PairedCaption(paired.paired_at);
    service::TMenuItem row(caption);
    service::TMenuItem forget("Forget\xE2\x80\xA6");
    forget.OnClick = [this, id = paired.id, caption] { ForgetBrowserClick(id, caption); };
    row.Items.push_back(std::move(forget));
    rows.push_back(std::move(row));
  }
  return rows;
}

void TBrowserService::ForgetBrowserClick(std::string id, const std::string& caption) {
  if (!platform_.dialogs.Confirm("Mirovanta 2",
                                 "Forget the " + caption + "? It will have to be paired again.")) {
    return;
  }
  keys_.Forget(id);
  store_.Forget(id);
  events_.Happened(Origin::Browser(0, id).device, service::Activity::Forgotten, "");
}

}  // namespace browser_remote
