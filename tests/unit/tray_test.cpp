// The tray icon, its menu joined from the capabilities' rows and the address
// line, through the form.
#include <gtest/gtest.h>

#include "platform/framework_error.h"
#include "tests/doubles/form_fixture.h"

namespace {

using Strings = std::vector<std::string>;

Strings Captions(const std::vector<platform::MenuEntry>& entries) {
  Strings captions;
  for (const auto& entry : entries) captions.push_back(entry.caption);
  return captions;
}

using Action = doubles::FakeNotificationArea::Action;
using Kind = platform::TrayEvent::Kind;
using platform::TrayButton;
using platform::TrayIconState;

TEST(Tray, TheIconIsAddedAndThenGetsTheApplicationIcon) {
  doubles::FormFixture t;
  t.Create();
  ASSERT_GE(t.tray.calls.size(), 2u);
  EXPECT_EQ(t.tray.calls[0].action, Action::Add);
  EXPECT_EQ(t.tray.calls[0].state, TrayIconState::Normal);
  EXPECT_EQ(t.tray.calls[0].tip, "Mirovanta 2");
  EXPECT_EQ(t.tray.calls[1].action, Action::Change);
  EXPECT_EQ(t.tray.calls[1].state, TrayIconState::Normal);
  t.form.reset();
  EXPECT_EQ(t.tray.calls.back().action, Action::Remove);
  EXPECT_FALSE(t.tray.window);
}

TEST(Tray, AnIconTheShellRefusesEndsTheStartUp) {
  doubles::FormFixture t;
  t.tray.refuse_add = true;
  try {
    t.Create();
    FAIL() << "started without an icon";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), "Cannot Create System Shell Notification Icon");
  }
}

TEST(Tray, ARightClickRefreshesTheAddressesAndOpensTheMenuAtThePointer) {
  doubles::FormFixture t;
  t.system.computer_name = "DEN";
  t.sockets.host_addresses = {0xC0A80114u};
  t.Create();
  t.sockets.host_addresses = {0x0A000002u, 0xC0A80115u};
  t.tray.RightClick({-300, 700});  // a monitor left of the primary one
  ASSERT_EQ(t.tray.menus_shown.size(), 1u);
  EXPECT_EQ(
      Captions(t.tray.menus_shown[0]),
      (Strings{"DEN Local IP Address", "10.0.0.2, 192.168.1.21", "-",
               "Ask before a new device takes control", "Stop asking for 10 minutes", "Devices",
               "Pause remote control\tCtrl+Alt+Shift+P", "Only paired browsers may control this PC",
               "Pair a browser\xE2\x80\xA6", "Show connection balloons", "Open activity log",
               "Connection help\xE2\x80\xA6", "Run with windows start", "Exit"}));
  EXPECT_EQ(t.tray.menu_positions[0].x, -300);
  EXPECT_EQ(t.tray.menu_positions[0].y, 700);
  t.sockets.host_addresses = {};
  t.tray.ButtonDown(TrayButton::Right);
  EXPECT_EQ(t.Form().IP1.Caption, "") << "no addresses: an empty line";
  EXPECT_EQ(t.Form().Label1.Caption, "DEN Local IP Address") << "the name line stays";
}

TEST(Tray, LeftAndMiddleButtonsDoNothing) {
  doubles::FormFixture t;
  t.Create();
  const std::string before = t.Form().IP1.Caption;
  t.sockets.host_addresses = {0x0A000009u};
  for (TrayButton button : {TrayButton::Left, TrayButton::Middle}) t.tray.ButtonDown(button);
  EXPECT_TRUE(t.tray.menus_shown.empty());
  EXPECT_EQ(t.Form().IP1.Caption, before);
}

TEST(Tray, ExitFromTheMenuEndsTheApplication) {
  doubles::FormFixture t;
  t.Create();
  t.tray.choose_caption = "Exit";
  t.tray.RequestMenu();
  EXPECT_EQ(t.application.calls.back(), "Terminate");
}

// "Mirovanta2.exe /exit" and the installer close the application window.
TEST(Tray, AClosedApplicationWindowEndsTheApplicationAsExitDoes) {
  doubles::FormFixture t;
  t.Create();
  ASSERT_TRUE(t.application.events.OnCloseRequest);
  t.application.events.OnCloseRequest();
  EXPECT_EQ(t.application.calls.back(), "Terminate");
}

TEST(Tray, TheIconComesBackWhenExplorerRestarts) {
  doubles::FormFixture t;
  t.Create();
  const std::size_t before = t.tray.calls.size();
  t.tray.Raise(Kind::TaskbarRecreated);
  ASSERT_EQ(t.tray.calls.size(), before + 1);
  EXPECT_EQ(t.tray.calls.back().action, Action::Add);
}

TEST(Tray, EndOfSessionRemovesTheIconAndLetsTheShutdownGoOn) {
  doubles::FormFixture t;
  t.Create();
  t.tray.Raise(Kind::SessionEnding);
  EXPECT_EQ(t.tray.calls.back().action, Action::Remove);
  const std::size_t after = t.tray.calls.size();
  t.form.reset();
  EXPECT_EQ(t.tray.calls.size(), after) << "removed once";
}

TEST(Tray, ACancelledLogoffKeepsTheIcon) {
  doubles::FormFixture t;
  t.Create();
  const std::size_t before = t.tray.calls.size();
  t.tray.Raise(Kind::SessionEndCancelled);  // another program said no
  EXPECT_EQ(t.tray.calls.size(), before) << "nothing removed";
  // Still wanted: an Explorer restart brings it back as before.
  t.tray.Raise(Kind::TaskbarRecreated);
  EXPECT_EQ(t.tray.calls.back().action, Action::Add);
  t.form.reset();
  EXPECT_EQ(t.tray.calls.back().action, Action::Remove) << "removed at the exit";
}

TEST(Balloons, CarryTitleTextAndTimeout) {
  doubles::FormFixture t;
  t.Create();
  t.Form().ShowBalloon("Device Connected", "Device IP : 192.168.1.10");
  auto balloons = t.tray.Balloons();
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_EQ(balloons[0].title, "Device Connected");
  EXPECT_EQ(balloons[0].text, "Device IP : 192.168.1.10");
  EXPECT_EQ(balloons[0].timeout_ms, 5000u);
}

TEST(Tray, APausedIconAddedAgainAfterAnExplorerRestartStillSaysSo) {
  doubles::FormFixture t;
  t.Create();
  t.Form().TrayIcon1.SetLook(TrayIconState::Paused, "Mirovanta 2 (paused)");
  t.tray.Raise(Kind::TaskbarRecreated);
  EXPECT_EQ(t.tray.calls.back().action, Action::Add);
  EXPECT_EQ(t.tray.calls.back().state, TrayIconState::Paused);
  EXPECT_EQ(t.tray.calls.back().tip, "Mirovanta 2 (paused)");
}

TEST(Balloons, LongTitlesAndTextsAreCutToWhatTheShellHolds) {
  doubles::FormFixture t;
  t.Create();
  t.Form().ShowBalloon(std::string(100, 't'), std::string(400, 'x'));
  ASSERT_EQ(t.tray.Balloons().size(), 1u);
  EXPECT_EQ(t.tray.Balloons()[0].title.size(), 63u);
  EXPECT_EQ(t.tray.Balloons()[0].text.size(), 255u);
}

// The menu's marks are drawn from the capabilities' state as it opens, and a
// chosen row reaches the capability that owns it.
TEST(Tray, TheMarksShowTheCapabilitiesStateAndAChosenRowReachesItsOwner) {
  doubles::FormFixture t;
  t.Create();
  auto checked = [&t](const std::string& caption) {
    for (const platform::MenuEntry& entry : t.tray.menus_shown.back()) {
      if (entry.caption == caption) return entry.checked;
    }
    ADD_FAILURE() << "no row " << caption;
    return false;
  };
  t.hotkeys.Press();  // paused from another window, not from the menu
  t.tray.RightClick();
  EXPECT_TRUE(checked("Pause remote control\tCtrl+Alt+Shift+P"));
  EXPECT_TRUE(checked("Show connection balloons"));
  t.tray.choose_caption = "Show connection balloons";
  t.tray.RightClick();
  EXPECT_FALSE(t.Form().Presence.ShowBalloons);
  t.tray.choose_caption = "";
  t.Form().Access.SetPaused(false);
  t.tray.RightClick();
  EXPECT_FALSE(checked("Pause remote control\tCtrl+Alt+Shift+P"));
  EXPECT_FALSE(checked("Show connection balloons"));
}

}  // namespace
