// The browser remote as a capability of its own, over the access capability
// and a recording sink: the pairing window and its code, a paired page's
// commands reaching the one gate with the browser as their origin, its
// connection heard by every subscriber, and "Forget…". The page is a real
// WebSocket client on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "tests/doubles/browser_fixture.h"
#include "tests/doubles/browser_page_client.h"

namespace {

using platform::Bytes;
using service::Origin;

constexpr std::uint32_t kLoopback = 0x7F000001u;

class BrowserService : public ::testing::Test, public doubles::BrowserFixture {};

TEST_F(BrowserService, ThePairingWindowShowsTheCodeOfThePagesAddressWithANewKey) {
  Browser().PairBrowser1.OnClick();
  ASSERT_TRUE(dialogs.pairing);
  EXPECT_EQ(dialogs.pairing->words,
            "Scan this code with the phone's camera. Whoever sees it can control this PC until "
            "you forget the browser in Devices.");
  EXPECT_EQ(dialogs.pairing->text.rfind("http://192.168.1.20:1566/#", 0), 0u);
  const Bytes first = KeyInTheCode();
  EXPECT_EQ(first.size(), 32u);
  EXPECT_GE(dialogs.pairing->modules, 21 + 8);
  EXPECT_EQ(dialogs.pairing->dark.size(),
            static_cast<std::size_t>(dialogs.pairing->modules * dialogs.pairing->modules));
  dialogs.pairing_closed();
  Browser().PairBrowser1.OnClick();
  EXPECT_NE(KeyInTheCode(), first);
}

TEST_F(BrowserService, ThePairingWindowClosesWhenItsTenMinutesRunOut) {
  Browser().PairBrowser1.OnClick();
  ASSERT_TRUE(dialogs.pairing);
  unsigned longest = 0;
  for (const auto& [id, timer] : timers.running) longest = std::max(longest, timer.interval_ms);
  EXPECT_EQ(longest, 10u * 60 * 1000);
  timers.TickAll();
  EXPECT_FALSE(dialogs.pairing);
  // Opened again, it has a timer of its own again.
  Browser().PairBrowser1.OnClick();
  timers.TickAll();
  EXPECT_FALSE(dialogs.pairing);
}

TEST_F(BrowserService, APairedPagesCommandsGoThroughTheGateAsTheBrowsers) {
  Browser().PairBrowser1.OnClick();
  const Bytes key = KeyInTheCode();
  const std::string host = Host();
  const std::uint16_t port = Browser().Port();
  std::atomic<int> stage{0};
  std::string closed_because;
  std::thread phone([&] {
    doubles::PageClient page(port, host, key, true);
    if (!page.Prove()) return;
    page.Send(page.Sealed({'P', 3, 0x20}));  // Media Player Classic's Play
    page.Send(page.Sealed({'U', 2, 1}));     // start QUELLIN
    page.Send(page.Sealed({'B', 0, 1}));     // a drag begins
    page.Send(page.Sealed({'P', 9, 0x20}));  // no such page: means nothing, dropped
    page.Send(page.Sealed({'L', 1}));
    stage = 1;
    while (stage.load() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    page.Send(page.Sealed({'K', 2}));  // after "Forget…"
    closed_because = page.ClosedBecause();
    stage = 3;
  });
  ASSERT_TRUE(Pump([&] { return commands.commands.size() == 4; }));
  ASSERT_EQ(browser->Paired().Browsers().size(), 1u);
  const std::string id = browser->Paired().Browsers()[0].id;
  const Origin from = Origin::Browser(kLoopback, id);
  const service::Ask sent[] = {service::PageButton{3, 0x20}, service::UtilityAction{2, true},
                               service::ButtonPress{false, true}, service::LaserSwitch{true}};
  for (std::size_t i = 0; i < std::size(sent); ++i) {
    EXPECT_EQ(commands.commands[i].from, from) << i;
    EXPECT_EQ(commands.commands[i].ask, sent[i]) << i;
  }
  // Every subscriber heard of the connection; nobody was asked about it.
  EXPECT_EQ(recorded.connected, (std::vector<Origin>{from}));
  const auto in_use = Activity().InUse.Devices();
  ASSERT_EQ(in_use.size(), 1u) << "the icon shows the connected browser";
  EXPECT_EQ(in_use[0].address, kLoopback);
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_FALSE(dialogs.pairing) << "a pairing closes the window";

  dialogs.confirm = true;
  browser->ForgetBrowserClick(id, "browser");
  EXPECT_TRUE(browser->Paired().Browsers().empty());
  stage = 2;
  ASSERT_TRUE(Pump([&] { return stage == 3; }));
  phone.join();
  EXPECT_EQ(closed_because, "forgotten");
  EXPECT_EQ(commands.commands.size(), 4u) << "a forgotten browser's command goes nowhere";
  ASSERT_TRUE(Pump([&] { return !recorded.disconnected.empty(); }));
  EXPECT_EQ(recorded.disconnected, (std::vector<Origin>{from}));
}

// Someone who photographed the code is refused once the phone claimed it,
// with a line of its own; the phone's own key seen at two addresses at once
// is told too.
TEST_F(BrowserService, ACodePairsOneBrowserAndItsKeyAtTwoAddressesIsTold) {
  Browser().PairBrowser1.OnClick();
  const Bytes code = KeyInTheCode();
  const std::string host = Host();
  const std::uint16_t port = Browser().Port();
  std::atomic<int> stage{0};
  std::string second_closed;
  std::thread devices([&] {
    doubles::PageClient phone(port, host, code, true);
    if (!phone.Prove()) return;
    doubles::PageClient photographer(port, host, code, true,
                                     boost::asio::ip::make_address_v4("127.0.0.2"));
    const bool photographer_proved = photographer.Prove();
    second_closed = photographer_proved ? "proved" : photographer.ClosedBecause();
    doubles::PageClient twin(port, host, phone.OwnKey(), false,
                             boost::asio::ip::make_address_v4("127.0.0.3"));
    if (twin.Prove()) stage = 1;
    while (stage.load() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  });
  ASSERT_TRUE(Pump([&] { return stage == 1 && recorded.connected.size() == 2; }));
  stage = 2;
  devices.join();
  EXPECT_EQ(second_closed, "used");
  EXPECT_NE(std::find(recorded.refusals.begin(), recorded.refusals.end(),
                      service::Refusal::PairingCodeUsedAgain),
            recorded.refusals.end());
  ASSERT_EQ(Browser().Paired().Browsers().size(), 1u) << "the photographer was not paired";
  const auto at_two = std::find(recorded.happened.begin(), recorded.happened.end(),
                                service::Activity::BrowserAtTwoAddresses);
  ASSERT_NE(at_two, recorded.happened.end());
  EXPECT_EQ(recorded.details[at_two - recorded.happened.begin()], "127.0.0.1");
}

}  // namespace
