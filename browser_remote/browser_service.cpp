#include "browser_remote/browser_service.h"

#include <exception>

#include "access/nearby_rule.h"
#include "browser/page_files.h"
#include "browser/qr_code.h"
#include "browser_remote/page_keys.h"
#include "platform/framework_error.h"
#include "platform/ipv4.h"

namespace browser_remote {
namespace {

using browser::BrowserCommand;
using platform::PointerAction;

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
    default: return service::Refusal::BrowserTooMany;
  }
}

}  // namespace

service::Device BrowserDevice(std::uint32_t peer, const std::string& id) {
  return {peer, "browser " + id};
}

TBrowserService::TBrowserService(TBrowserPlatform platform, service::IHostEvents& events,
                                 activity::TActivityService& activity,
                                 access_policy::TAccessService& access, input::TInputService& input,
                                 media::TMediaService& media, std::function<void()> wake)
    : platform_(platform),
      events_(events),
      activity_(activity),
      access_(access),
      input_(input),
      media_(media),
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
  hooks.addresses = [this] {
    return access_policy::ServedAddresses(platform_.sockets.Interfaces());
  };
  hooks.command = [this](std::uint32_t peer, const std::string& id, const BrowserCommand& command) {
    OnMainThread([&] { CarryOut(peer, id, command); });
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

void TBrowserService::CarryOut(std::uint32_t peer, const std::string& id,
                               const BrowserCommand& command) {
  const bool sends_input = command.kind != BrowserCommand::Kind::Laser;
  if (!access_.BrowserMayDrive(BrowserDevice(peer, id), sends_input)) return;
  input::TInputSender& keys = input_.Keyboard;
  switch (command.kind) {
    case BrowserCommand::Kind::Move:
      input_.BeforeInput();
      input_.TextAndPointer.MovePointer(command.dx, command.dy);
      break;
    case BrowserCommand::Kind::Click:
      input_.BeforeInput();
      command.right ? input_.TextAndPointer.RightClick() : input_.TextAndPointer.LeftClick();
      break;
    case BrowserCommand::Kind::Press: {
      input_.BeforeInput();
      const PointerAction down = command.right ? PointerAction::RightDown : PointerAction::LeftDown;
      const PointerAction up = command.right ? PointerAction::RightUp : PointerAction::LeftUp;
      keys.SendMouse(command.down ? down : up, 0);
      if (command.down) {
        held_.insert({id, command.right});
      } else {
        held_.erase({id, command.right});
      }
      break;
    }
    case BrowserCommand::Kind::Wheel:
      input_.BeforeInput();
      keys.SendMouse(PointerAction::Wheel, command.notches * platform::kWheelDelta);
      break;
    case BrowserCommand::Kind::Key: {
      input_.BeforeInput();
      const PageKeyAction action = ActionOf(command.key);
      action.second == 0 ? keys.SendKey(action.first)
                         : keys.SendChord2(action.first, action.second);
      break;
    }
    case BrowserCommand::Kind::Text: {
      std::size_t characters = 0;
      const std::u16string text = browser::Utf16Of(command.text, characters);
      try {
        input_.TypeUnicodeText(text, characters);
      } catch (const platform::EFrameworkError&) {
        // Logged as "text not typed"; a browser has no error box to show.
      }
      break;
    }
    case BrowserCommand::Kind::Laser:
      command.on ? media_.Laser.StartLaserCompanion() : media_.Laser.StopLaserCompanion();
      break;
  }
}

void TBrowserService::Connected(std::uint32_t peer, const std::string& id, bool paired_now) {
  const service::Device device = BrowserDevice(peer, id);
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
  // Not through the host's events: that is the app's presence connection,
  // which asks about a new device. A paired browser is not asked about.
  activity_.DeviceConnected(peer);
}

void TBrowserService::Disconnected(std::uint32_t peer, const std::string& id) {
  // A drag in progress ends where the pointer is: no button stays down.
  for (bool right : {false, true}) {
    if (held_.erase({id, right}) == 0) continue;
    input_.Keyboard.SendMouse(right ? PointerAction::RightUp : PointerAction::LeftUp, 0);
  }
  events_.Happened(BrowserDevice(peer, id), service::Activity::Disconnected, "");
  activity_.DeviceDisconnected(peer);
}

void TBrowserService::Noted(std::uint32_t peer, browser::ServerNote note) {
  events_.Refused({peer, "browser"}, RefusalOf(note));
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
  events_.Happened({0, "browser " + id}, service::Activity::Forgotten, "");
}

}  // namespace browser_remote
