// The browser remote as the form wires it: a page that proves its key drives
// the PC through the gate, the router and the input doubles, the pause holds
// its commands, "Forget…" ends its next one, and the paired browser is kept
// for the next start. The capability's own behaviour is browser_service_test's.
// The page is a real WebSocket client on loopback; the test thread plays
// the main thread's message loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "browser/paired_browsers.h"
#include "platform/virtual_keys.h"
#include "tests/doubles/browser_page_client.h"
#include "tests/doubles/form_fixture.h"

namespace {

using platform::Bytes;

class BrowserRemote : public ::testing::Test, public doubles::FormFixture {
 protected:
  // Runs what the server hands the main thread until `done` holds.
  bool Pump(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      form->Browser.Handover().WaitAndRun(std::chrono::milliseconds(5));
    }
    return true;
  }
  Bytes KeyInTheCode() const {
    const std::string& text = dialogs.pairing->text;
    Bytes key;
    for (std::size_t i = text.find('#') + 1; i + 1 < text.size(); i += 2) {
      key.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return key;
  }
  std::string Host() const { return "192.168.1.20:" + std::to_string(form->Browser.Port()); }
  bool Pressed(std::uint16_t key) const {
    for (const doubles::InputCall& call : input.calls) {
      for (const platform::KeyStroke& stroke : call) {
        if (stroke.virtual_key == key && !stroke.up) return true;
      }
    }
    return false;
  }
  std::string UnicodeOnClipboard() const {
    for (const auto& entry : clipboard.data) {
      if (entry.format == "Unicode") return entry.bytes;
    }
    return "";
  }
};

TEST_F(BrowserRemote, APagePairedByTheCodeDrivesThePcUntilItIsForgotten) {
  Form().Browser.PairBrowser1.OnClick();
  const Bytes key = KeyInTheCode();
  const std::string host = Host();
  const std::uint16_t port = form->Browser.Port();
  std::atomic<int> stage{0};
  std::atomic<bool> proved{false};
  std::string closed_because;
  Bytes own_key;
  auto wait_for = [&stage](int wanted) {
    while (stage.load() < wanted) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  };
  std::thread phone([&] {
    doubles::PageClient page(port, host, key, true);
    proved = page.Prove();
    own_key = page.OwnKey();
    page.Send(page.Sealed({'K', 2}));  // Enter
    const std::string text = "h\xC3\xA9llo \xF0\x9F\x98\x80";
    Bytes typed{'T'};
    typed.insert(typed.end(), text.begin(), text.end());
    page.Send(page.Sealed(typed));
    page.Send(page.Sealed({'M', 0x00, 0x05, 0xff, 0xfd}));
    page.Send(page.Sealed({'B', 0, 1}));  // a drag begins, and the page leaves in it
    stage = 1;
    wait_for(2);
    page.Send(page.Sealed({'K', 1}));  // Tab, while paused
    stage = 3;
    wait_for(4);
    page.Send(page.Sealed({'K', 0}));  // Esc, after the pause
    wait_for(5);
    page.Send(page.Sealed({'K', 5}));  // Up, after "Forget…"
    closed_because = page.ClosedBecause();
    stage = 6;
  });

  ASSERT_TRUE(Pump([&] { return stage == 1 && !input.set_positions.empty(); }) &&
              Pump([&] { return !input.calls.empty() && input.calls.back().pointer.has_value(); }));
  EXPECT_TRUE(proved);
  EXPECT_FALSE(dialogs.pairing) << "a pairing closes the window";
  const auto in_use = form->Activity.InUse.Devices();
  ASSERT_EQ(in_use.size(), 1u) << "the icon shows the connected browser";
  EXPECT_EQ(in_use[0].address, 0x7F000001u);
  ASSERT_EQ(form->Browser.Paired().Browsers().size(), 1u);
  // What is kept is the browser's own key, never the code's.
  EXPECT_EQ(form->Browser.Paired().Browsers()[0].key, own_key);
  EXPECT_NE(own_key, key);
  EXPECT_TRUE(Pressed(platform::vk::Enter));
  const std::u16string wide = u"h\u00e9llo \U0001F600";
  EXPECT_EQ(UnicodeOnClipboard(), std::string(reinterpret_cast<const char*>(wide.c_str()),
                                              (wide.size() + 1) * sizeof(char16_t)));
  EXPECT_EQ(input.set_positions.back().x, 105);
  EXPECT_EQ(input.set_positions.back().y, 197);

  form->Access.SetPaused(true);
  stage = 2;
  // The pause is lifted only once the Tab has been dropped, so the Esc sent
  // after it cannot be dropped with it however the threads are scheduled.
  ASSERT_TRUE(Pump([&] {
    const auto heard = form->Activity.Recent.Newest();
    return stage == 3 && !heard.empty() && heard[0].what == activity::Heard::Paused;
  }));
  EXPECT_FALSE(Pressed(platform::vk::Tab)) << "the pause dropped it";
  form->Access.SetPaused(false);
  stage = 4;
  ASSERT_TRUE(Pump([&] { return Pressed(platform::vk::Esc); }));
  EXPECT_FALSE(Pressed(platform::vk::Tab));

  dialogs.confirm = true;
  form->Browser.ForgetBrowserClick(form->Browser.Paired().Browsers()[0].id, "browser");
  EXPECT_TRUE(form->Browser.Paired().Browsers().empty());
  stage = 5;
  ASSERT_TRUE(Pump([&] { return stage == 6; }));
  phone.join();
  EXPECT_EQ(closed_because, "forgotten");
  EXPECT_FALSE(Pressed(platform::vk::Up));
  // The drag's button went up when the page left.
  ASSERT_TRUE(Pump([&] {
    return input.calls.back().pointer &&
           input.calls.back().pointer->action == platform::PointerAction::LeftUp;
  }));
}

TEST_F(BrowserRemote, APairedBrowserIsKeptForTheUserAndListedUnderDevices) {
  Form().Browser.PairBrowser1.OnClick();
  const Bytes key = KeyInTheCode();
  std::atomic<bool> done{false};
  Bytes own_key;
  std::thread phone([&] {
    doubles::PageClient page(form->Browser.Port(), Host(), key, true);
    page.Prove();
    own_key = page.OwnKey();
    done = true;
  });
  // The page is connected once its own "ok" is sent; the PC keeps it as it reads that.
  ASSERT_TRUE(Pump([&] { return done.load() && form->Browser.Paired().Browsers().size() == 1; }));
  phone.join();
  form->Access.BeforeMenu();
  bool listed = false;
  for (const service::TMenuItem& row : form->Access.Devices1.Items) {
    listed |= row.Caption.rfind("Browser paired ", 0) == 0 && row.Items.size() == 1;
  }
  EXPECT_TRUE(listed);
  form->Help.Help1.OnClick();
  ASSERT_TRUE(dialogs.report);
  const std::string help = dialogs.report->text;
  EXPECT_NE(help.find("TCP 1566 (the browser remote's page): listening."), std::string::npos)
      << help;
  EXPECT_NE(help.find("Paired browsers\n"), std::string::npos) << help;
  EXPECT_NE(help.find("\nBrowser paired "), std::string::npos) << help;

  // The next start finds it again.
  form.reset();
  Create();
  ASSERT_EQ(form->Browser.Paired().Browsers().size(), 1u);
  EXPECT_EQ(form->Browser.Paired().Browsers()[0].key, own_key);
}

}  // namespace
