// One way in for both remotes: a browser's page button, utility and key do
// exactly what the app's datagram for the same page and code does, and one
// gate holds both origins back for the same reasons.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/browser_commands.h"
#include "launch/app_tables.h"
#include "media/key_map.h"
#include "service/command_router.h"
#include "service/datagram_command.h"
#include "tests/doubles/access_fixture.h"
#include "tests/doubles/media_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using service::Origin;

constexpr std::uint32_t kPhone = 0xC0A80125u;  // 192.168.1.37
const std::string kBrowserId = "b0123456789abcdef";

// What a command did to the desktop: every call into the input stream, the
// shell and the windows, and what it told the log.
struct Effects {
  std::vector<std::string> calls;
  bool operator==(const Effects&) const = default;
};

// Input, launching and media as the host composes them, fresh for each command.
struct Desktop : doubles::MediaFixture {
  service::TCommandRouter router;
  explicit Desktop(bool player_9_or_10) {
    // Every player and utility runs: a close has something to end.
    std::uint32_t id = 100;
    for (const launch::PageApp& app : launch::PageApps())
      processes.running.push_back({++id, app.close_name, 4});
    for (const launch::Utility& utility : launch::Utilities()) {
      processes.running.push_back({++id, utility.close_name, 4});
    }
    Create();
    Input().RegisterCommands(router);
    Launch().RegisterCommands(router);
    Media().RegisterCommands(router);
    Launch().Pages.IsWmp9or10 = player_9_or_10;
  }
  Effects Run(const service::RemoteCommand& command) {
    router.CarryOut(command);
    Effects effects;
    for (const doubles::InputCall& call : input.calls) {
      std::string line = "input";
      for (const platform::KeyStroke& key : call) {
        line += " " + std::to_string(key.virtual_key) + (key.up ? "u" : "d") +
                (key.extended ? "e" : "") + "/" + std::to_string(key.scan_code);
      }
      if (call.pointer) {
        line += " pointer " + std::to_string(static_cast<int>(call.pointer->action)) + " " +
                std::to_string(call.pointer->wheel);
      }
      effects.calls.push_back(line);
    }
    for (const auto& call : shell.calls) {
      effects.calls.push_back("shell " + call.operation + " " + call.file + " " + call.parameters);
    }
    for (const std::string& call : windows.calls) effects.calls.push_back("windows " + call);
    for (const std::string& call : processes.calls) effects.calls.push_back("processes " + call);
    for (const auto& did : events.did) {
      effects.calls.push_back("did " + std::to_string(static_cast<int>(did.what)) + " " +
                              did.detail);
    }
    return effects;
  }
};

Effects FromTheApp(const Bytes& datagram, bool player_9_or_10 = false) {
  Desktop desktop(player_9_or_10);
  return desktop.Run(
      {Origin::App(kPhone), service::DecodeDatagram(datagram.data(), datagram.size())});
}

Effects FromABrowser(const Bytes& message, bool player_9_or_10 = false) {
  const std::optional<service::Ask> ask = browser::DecodeBrowserCommand(message);
  EXPECT_TRUE(ask) << testing::PrintToString(message);
  Desktop desktop(player_9_or_10);
  return ask ? desktop.Run({Origin::Browser(kPhone, kBrowserId), *ask}) : Effects{};
}

TEST(OneWayIn, EveryCellOfTheKeyMapFromABrowsersPageButtonIsTheAppsDatagram) {
  int cells = 0;
  int doing = 0;
  for (int code = 0; code <= 0xFF; ++code) {
    const auto byte = static_cast<std::uint8_t>(code);
    bool row = false;
    for (std::uint8_t page = 1; page <= media::kPages; ++page) {
      row |= media::LookUpButton(page, byte).kind != media::ActionKind::Nothing;
    }
    for (std::uint8_t page = 1; page <= media::kPages; ++page) {
      SCOPED_TRACE("page " + std::to_string(page) + " code " + std::to_string(code));
      for (bool player_9_or_10 : {false, true}) {
        const Effects app = FromTheApp({0x15, 0x65, 0x01, page, byte}, player_9_or_10);
        EXPECT_EQ(FromABrowser({'P', page, byte}, player_9_or_10), app);
        if (row && !player_9_or_10) doing += app.calls.empty() ? 0 : 1;
      }
      if (row) ++cells;
    }
  }
  EXPECT_EQ(cells, 424) << "53 rows of 8 pages";
  EXPECT_EQ(doing, 424 - 5 - 7)
      << "all but the dashes of pages 5 and 7, and laser off while no laser runs, do something";
}

TEST(OneWayIn, TheUtilitiesStartAndCloseFromABrowserAsFromTheApp) {
  for (std::uint8_t utility = 1; utility <= 4; ++utility) {
    SCOPED_TRACE("utility " + std::to_string(utility));
    const Effects started = FromTheApp({0x15, 0x65, 0x04, utility, 0x02});
    EXPECT_FALSE(started.calls.empty());
    EXPECT_EQ(FromABrowser({'U', utility, 1}), started);
    EXPECT_EQ(FromABrowser({'U', utility, 0}), FromTheApp({0x15, 0x65, 0x04, utility, 0xFF}));
  }
}

TEST(OneWayIn, TheAppsTextAndPointerAreTheBrowsersToo) {
  EXPECT_EQ(FromABrowser({'C', 1}), FromTheApp({0x15, 0x65, 0x03, 0x03, 0x00}));
  EXPECT_EQ(FromABrowser({'W', 0xff}), FromTheApp({0x15, 0x65, 0x03, 0x04, 0x00, 0x01}));
  EXPECT_EQ(FromABrowser({'M', 0, 5, 0xff, 0xfd}), FromTheApp({0x15, 0x65, 0x03, 0x01, 5, 0xfd}));
  EXPECT_EQ(FromABrowser({'T', 'h', 'i'}).calls.size(),
            FromTheApp({0x15, 0x65, 0x02, 0, 'h', 'i'}).calls.size());
}

// --- One gate for both origins ---

class OneGate : public testing::Test, public doubles::AccessFixture {
 protected:
  void SetUp() override {
    // The phone is allowed; ask about anyone else.
    registry.SetString(platform::RootKey::CurrentUser, "Software\\Mirovanta 2\\Devices",
                       "192.168.1.37", "192.168.1.37");
    Create();
  }
  static Origin Browser() { return Origin::Browser(kPhone, kBrowserId); }
  // What became of the device's latest command, as the connection help lists it.
  activity::Heard LastHeard() const {
    const auto heard = services->activity.Recent.Newest();
    return heard.empty() ? activity::Heard::Far : heard[0].what;
  }
};

TEST_F(OneGate, HoldsBothRemotesBackForTheSameReasons) {
  using activity::Heard;
  struct Case {
    const char* what;
    bool paused, locked;
    service::Ask ask;
    bool carried;
    Heard heard;
  };
  const service::Ask key = service::KeyPress{0x0D, 0};
  const service::Ask start = service::UtilityAction{1, true};
  const Case cases[] = {
      {"served", false, false, key, true, Heard::Served},
      {"paused", true, false, key, false, Heard::Paused},
      {"paused, a start too", true, false, start, false, Heard::Paused},
      {"locked: no input", false, true, key, false, Heard::Locked},
      {"locked: a start goes on", false, true, start, true, Heard::Served},
  };
  for (const Origin& from : {Origin::App(kPhone), Browser()}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) +
                   (from.remote == service::Remote::App ? " (app)" : " (browser)"));
      Access().SetPaused(c.paused);
      Access().LockChanged(c.locked);
      const std::size_t before = Carried();
      Access().CommandArrived({from, c.ask});
      ASSERT_EQ(Carried(), before + (c.carried ? 1 : 0));
      if (c.carried) {
        EXPECT_EQ(commands.commands.back().from, from);
        EXPECT_EQ(commands.commands.back().ask, c.ask);
      }
      EXPECT_EQ(LastHeard(), c.heard);
    }
  }
  Access().SetPaused(false);
  Access().LockChanged(false);
  const std::vector<std::string> lines =
      Lines("C:\\Users\\ann\\AppData\\Local\\Mirovanta 2\\activity.log");
  std::size_t paused_app = 0, paused_browser = 0, locked_app = 0, locked_browser = 0;
  for (const std::string& line : lines) {
    const bool browser = line.find("browser " + kBrowserId) != std::string::npos;
    if (line.find("dropped: remote control is paused") != std::string::npos) {
      ++(browser ? paused_browser : paused_app);
    }
    if (line.find("this PC is locked") != std::string::npos)
      ++(browser ? locked_browser : locked_app);
  }
  EXPECT_EQ(paused_app, 1u) << "folded per device";
  EXPECT_EQ(paused_browser, 1u);
  EXPECT_EQ(locked_app, 1u);
  EXPECT_EQ(locked_browser, 1u);
}

TEST_F(OneGate, AskesAboutANewAppDeviceButNotAPairedBrowser) {
  constexpr std::uint32_t kStranger = 0xC0A80142u;  // 192.168.1.66
  Access().Approval.ShowedItself(kStranger);
  Access().CommandArrived({Origin::App(kStranger), service::KeyPress{0x0D, 0}});
  EXPECT_EQ(Carried(), 0u);
  EXPECT_EQ(dialogs.asked.size(), 1u);
  Access().CommandArrived({Origin::Browser(kStranger, kBrowserId), service::KeyPress{0x0D, 0}});
  EXPECT_EQ(Carried(), 1u) << "pairing was the user's approval";
  EXPECT_EQ(dialogs.asked.size(), 1u);
}

TEST_F(OneGate, EitherRemotesCommandShowsInTheIcon) {
  for (const Origin& from : {Origin::App(kPhone), Browser()}) {
    looks.clear();
    system.tick_ms += 10 * 60 * 1000;  // the last command long ago
    timers.TickAll();
    Access().CommandArrived({from, service::KeyPress{0x0D, 0}});
    ASSERT_FALSE(looks.empty());
    EXPECT_EQ(looks.back().state, platform::TrayIconState::InUse);
  }
}

TEST_F(OneGate, ABrowsersConnectionIsHeardByEverySubscriberAndAskedAboutByNone) {
  Events().DeviceConnected(Browser());
  EXPECT_EQ(recorded.connected, (std::vector<Origin>{Browser()}));
  EXPECT_EQ(looks.back().state, platform::TrayIconState::InUse);
  EXPECT_TRUE(dialogs.asked.empty()) << "a browser is not asked about";
  Events().DeviceDisconnected(Browser());
  EXPECT_EQ(recorded.disconnected, (std::vector<Origin>{Browser()}));
}

TEST(OneWayIn, AButtonABrowserHeldIsLetGoWhenItLeavesAndNoOthers) {
  Desktop desktop(false);
  service::THostEvents events;
  events.Subscribe(desktop.Input());
  const Origin browser = Origin::Browser(kPhone, kBrowserId);
  desktop.router.CarryOut({browser, service::ButtonPress{true, true}});
  desktop.router.CarryOut({Origin::Browser(kPhone, "b-other"), service::ButtonPress{false, true}});
  desktop.input.calls.clear();
  events.DeviceDisconnected(Origin::App(kPhone));
  EXPECT_TRUE(desktop.input.calls.empty()) << "the app's connection held nothing";
  events.DeviceDisconnected(browser);
  ASSERT_EQ(desktop.input.calls.size(), 1u);
  EXPECT_EQ(desktop.input.calls[0].pointer->action, platform::PointerAction::RightUp);
  events.DeviceDisconnected(browser);
  EXPECT_EQ(desktop.input.calls.size(), 1u) << "let go once";
}

}  // namespace

namespace {

TEST(OneWayIn, KeysWindowsDidNotTakeAreToldAsWhatTheCommandDid) {
  Desktop desktop(false);
  desktop.input.take_at_most = 0;
  desktop.router.CarryOut({Origin::App(kPhone), service::KeyPress{0x0D, 0}});
  ASSERT_FALSE(desktop.events.did.empty());
  EXPECT_EQ(desktop.events.did.back().what, service::Activity::InputNotTaken);
}

}  // namespace
