#pragma once
// The browser remote over the access capability it goes through and a
// recording sink: what the gate lets through is written down, not carried
// out. The server is real, on a free port of loopback; the test plays the
// main thread's message loop.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "browser_remote/browser_service.h"
#include "tests/doubles/access_fixture.h"
#include "tests/doubles/fake_protect.h"

namespace doubles {

struct BrowserFixture : AccessFixture {
  FakeProtect protect;
  std::unique_ptr<browser_remote::TBrowserService> browser;

  ~BrowserFixture() {
    if (browser) browser->Stop();
    browser.reset();
  }

  browser_remote::TBrowserService& Browser() {
    if (!browser) {
      Create();
      browser = std::make_unique<browser_remote::TBrowserService>(
          browser_remote::TBrowserPlatform{platform::SystemCrypto(), protect, registry, system,
                                           dialogs, sockets, timers},
          services->events, services->access, [] {});
      services->access.MoreDevices = [this] { return browser->DeviceRows(); };
      browser->Load();
      browser->Listen(0);
    }
    return *browser;
  }
  // Runs what the server hands the main thread until `done` holds.
  bool Pump(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      Browser().Handover().WaitAndRun(std::chrono::milliseconds(5));
    }
    return true;
  }
  // The key in the address the pairing window's code holds.
  platform::Bytes KeyInTheCode() const {
    const std::string& text = dialogs.pairing->text;
    platform::Bytes key;
    for (std::size_t i = text.find('#') + 1; i + 1 < text.size(); i += 2) {
      key.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return key;
  }
  std::string Host() { return "192.168.1.20:" + std::to_string(Browser().Port()); }
};

}  // namespace doubles
