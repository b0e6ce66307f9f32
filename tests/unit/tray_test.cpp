// The tray icon, its menu and the address line, through the form.
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

constexpr unsigned kCallback = 0x0401;

TEST(Tray, TheIconIsAddedWithItsCallbackAndThenGetsTheApplicationIcon) {
  doubles::FormFixture t;
  t.Create();
  ASSERT_GE(t.tray.calls.size(), 2u);
  EXPECT_EQ(t.tray.calls[0].action, platform::kNotifyAdd);
  EXPECT_EQ(t.tray.calls[0].data.flags, 3u);
  EXPECT_EQ(t.tray.calls[0].data.callback_message, kCallback);
  EXPECT_EQ(t.tray.calls[1].action, platform::kNotifyModify);
  EXPECT_TRUE(t.tray.calls[1].data.with_icon);
  t.form.reset();
  EXPECT_EQ(t.tray.calls.back().action, platform::kNotifyDelete);
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
  t.input.position = {-300, 700};  // a monitor left of the primary one
  t.tray.Send(kCallback, 0, platform::kMessageRightButtonDown);
  t.tray.Send(kCallback, 0, platform::kMessageRightButtonUp);
  ASSERT_EQ(t.tray.menus_shown.size(), 1u);
  EXPECT_EQ(Captions(t.tray.menus_shown[0]),
            (Strings{"DEN Local IP Address", "10.0.0.2, 192.168.1.21", "-",
                     "Ask before a new device takes control", "Allowed devices",
                     "Pause remote control", "Run with windows start", "Exit"}));
  EXPECT_EQ(t.tray.menu_positions[0].x, -300);
  EXPECT_EQ(t.tray.menu_positions[0].y, 700);
  t.sockets.host_addresses = {};
  t.tray.Send(kCallback, 0, platform::kMessageRightButtonDown);
  EXPECT_EQ(t.Form().IP1.Caption, "") << "no addresses: an empty line";
  EXPECT_EQ(t.Form().Label1.Caption, "DEN Local IP Address") << "the name line stays";
}

TEST(Tray, LeftAndMiddleButtonsAndOtherMessagesDoNothing) {
  doubles::FormFixture t;
  t.Create();
  const std::string before = t.Form().IP1.Caption;
  t.sockets.host_addresses = {0x0A000009u};
  for (unsigned mouse : {platform::kMessageLeftButtonDown, platform::kMessageMiddleButtonDown,
                         0x0202u, 0x0203u, 0x0200u}) {
    t.tray.Send(kCallback, 0, mouse);
  }
  EXPECT_TRUE(t.tray.menus_shown.empty());
  EXPECT_EQ(t.Form().IP1.Caption, before);
}

TEST(Tray, ExitFromTheMenuEndsTheApplication) {
  doubles::FormFixture t;
  t.Create();
  t.tray.choose_caption = "Exit";
  t.tray.Send(kCallback, 0, platform::kMessageRightButtonUp);
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
  t.tray.Send(0xC123);
  ASSERT_EQ(t.tray.calls.size(), before + 1);
  EXPECT_EQ(t.tray.calls.back().action, platform::kNotifyAdd);
}

TEST(Tray, EndOfSessionRemovesTheIconAndLetsTheShutdownGoOn) {
  doubles::FormFixture t;
  t.Create();
  EXPECT_EQ(t.tray.Send(platform::kMessageQueryEndSession), 1);
  t.tray.Send(platform::kMessageEndSession, 1);
  EXPECT_EQ(t.tray.calls.back().action, platform::kNotifyDelete);
  const std::size_t after = t.tray.calls.size();
  t.form.reset();
  EXPECT_EQ(t.tray.calls.size(), after) << "removed once";
}

TEST(Tray, ACancelledLogoffKeepsTheIcon) {
  doubles::FormFixture t;
  t.Create();
  EXPECT_EQ(t.tray.Send(platform::kMessageQueryEndSession), 1);
  const std::size_t before = t.tray.calls.size();
  t.tray.Send(platform::kMessageEndSession, 0);  // another program said no
  EXPECT_EQ(t.tray.calls.size(), before) << "nothing removed";
  // Still wanted: an Explorer restart brings it back as before.
  t.tray.Send(t.tray.TaskbarCreatedMessage());
  EXPECT_EQ(t.tray.calls.back().action, platform::kNotifyAdd);
  t.form.reset();
  EXPECT_EQ(t.tray.calls.back().action, platform::kNotifyDelete) << "removed at the exit";
}

TEST(Balloons, CarryTitleTextInfoIconAndTimeout) {
  doubles::FormFixture t;
  t.Create();
  t.Form().ShowBalloon("Device Connected", "Device IP : 192.168.1.10");
  auto balloons = t.tray.Balloons();
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_EQ(balloons[0].action, platform::kNotifyModify);
  EXPECT_EQ(balloons[0].data.info_title, "Device Connected");
  EXPECT_EQ(balloons[0].data.info, "Device IP : 192.168.1.10");
  EXPECT_EQ(balloons[0].data.timeout_ms, 5000u);
  EXPECT_EQ(balloons[0].data.info_flags, 1u);
}

}  // namespace
