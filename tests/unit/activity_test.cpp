// What the person at the PC sees of the remote's use, through the access and
// activity capabilities: the log's lines, the pause hotkey, the in-use icon,
// the Devices menu, the devices' names and the log's menu row.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <sstream>
#include <thread>

#include "activity/name_text.h"
#include "tests/doubles/access_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kPhone = 0xC0A80117u;  // 192.168.1.23
const Bytes kPlay = {0x15, 0x65, 0x01, 0x03, 0x20};
const std::string kLog = "C:\\Users\\ann\\AppData\\Local\\Mirovanta 2\\activity.log";

struct ActivityFixture : doubles::AccessFixture {
  std::vector<std::string> Lines() { return doubles::AccessFixture::Lines(kLog); }
  std::size_t Keys() const { return Carried(); }
};

TEST(ActivityLog, ALogThatCannotBeWrittenChangesNothingElse) {
  ActivityFixture t;
  t.files.RefuseWrites(true);
  t.Create();
  t.Command(0x7F000001u, kPlay);
  EXPECT_EQ(t.Keys(), 1u) << "the command was carried out";
  EXPECT_TRUE(t.files.files.empty());
}

TEST(PauseHotkey, CtrlAltShiftPPausesAndResumesAndTheMenuShowsIt) {
  ActivityFixture t;
  t.Create();
  EXPECT_TRUE(t.hotkeys.chord.control && t.hotkeys.chord.alt && t.hotkeys.chord.shift);
  EXPECT_EQ(t.hotkeys.chord.key, 'P');
  t.hotkeys.Press();
  EXPECT_TRUE(t.Access().Paused);
  EXPECT_TRUE(t.Access().Pause1.Checked);
  t.Command(0x7F000001u, kPlay);
  EXPECT_EQ(t.Keys(), 0u) << "paused: the command is dropped";
  t.hotkeys.Press();
  EXPECT_FALSE(t.Access().Paused);
  t.Command(0x7F000001u, kPlay);
  EXPECT_EQ(t.Keys(), 1u);
  const auto lines = t.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "-  remote control paused"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "-  remote control resumed"), lines.end());
}

TEST(PauseHotkey, TakenByAnotherProgramTheMenuSaysSoAndTheHostGoesOn) {
  ActivityFixture t;
  t.hotkeys.taken = true;
  t.Create();
  EXPECT_FALSE(t.Access().PauseHotkey);
  EXPECT_EQ(t.Access().Pause1.Caption,
            "Pause remote control (Ctrl+Alt+Shift+P is taken by another program)");
  t.Click(t.Access().Pause1);
  EXPECT_TRUE(t.Access().Paused) << "the menu item still works";
}

TEST(ActivityLog, OpenActivityLogOpensTheFileOrElseNotepad) {
  ActivityFixture t;
  t.Create();
  t.Click(t.Activity().OpenLog1);
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, kLog);
  t.shell.result = 31;  // no program is registered for .log files
  t.Click(t.Activity().OpenLog1);
  ASSERT_EQ(t.shell.calls.size(), 3u);
  EXPECT_EQ(t.shell.calls[2].file, "notepad.exe");
  EXPECT_EQ(t.shell.calls[2].parameters, "\"" + kLog + "\"");
}

}  // namespace

namespace {

constexpr std::uint32_t kTablet = 0xC0A80118u;  // 192.168.1.24

TEST(DeviceActivity, InUseWhileConnectedOrForAMinuteAfterACommand) {
  activity::TDeviceActivity devices;
  devices.Connected(kPhone, 0);
  devices.Commanded(kTablet, 1000);
  EXPECT_EQ(devices.InUse(2000), (std::vector<std::uint32_t>{kPhone, kTablet}));
  devices.Disconnected(kPhone);
  EXPECT_EQ(devices.InUse(2000), (std::vector<std::uint32_t>{kTablet}));
  EXPECT_EQ(devices.InUse(1000 + activity::TDeviceActivity::kInUseForMs - 1).size(), 1u);
  EXPECT_TRUE(devices.InUse(1000 + activity::TDeviceActivity::kInUseForMs).empty());
  devices.Disconnected(kPhone);  // a second report of the same leave changes nothing
  devices.Connected(kPhone, 5000);
  devices.Connected(kPhone, 5000);
  devices.Disconnected(kPhone);
  EXPECT_EQ(devices.InUse(500000), (std::vector<std::uint32_t>{kPhone})) << "one still held";
}

// Only a command that makes its device in use asks for the icon and the name
// to be looked at again; the rest of a burst only notes the time.
TEST(DeviceActivity, ACommandSaysWhetherItMadeTheDeviceInUse) {
  activity::TDeviceActivity devices;
  constexpr std::uint64_t kMinute = activity::TDeviceActivity::kInUseForMs;
  EXPECT_TRUE(devices.Commanded(kTablet, 1000)) << "first heard";
  EXPECT_FALSE(devices.Commanded(kTablet, 2000));
  EXPECT_FALSE(devices.Commanded(kTablet, 2000 + kMinute - 1)) << "still in use";
  EXPECT_TRUE(devices.Commanded(kTablet, 2000 + 3 * kMinute)) << "in use again after a pause";
  devices.Connected(kPhone, 0);
  EXPECT_FALSE(devices.Commanded(kPhone, 10 * kMinute)) << "connected: in use already";
  devices.Disconnected(kPhone);
  EXPECT_FALSE(devices.Commanded(kPhone, 10 * kMinute + 1)) << "its last command is a moment ago";
}

TEST(DeviceActivity, TheMenuListsConnectedDevicesFirstThenTheLatestCommands) {
  activity::TDeviceActivity devices;
  devices.Commanded(0xC0A80130u, 1000);
  devices.Commanded(0xC0A80131u, 3000);
  devices.Connected(kTablet, 4000);
  devices.Connected(kPhone, 5000);
  std::vector<std::uint32_t> order;
  for (const auto& use : devices.Devices()) order.push_back(use.address);
  EXPECT_EQ(order, (std::vector<std::uint32_t>{kTablet, kPhone, 0xC0A80131u, 0xC0A80130u}));
  for (std::uint32_t i = 0; i < 40; ++i) devices.Commanded(0xC0A80140u + i, 6000 + i);
  EXPECT_EQ(devices.Devices().size(), activity::TDeviceActivity::kRemembered);
  EXPECT_EQ(devices.Devices()[0].address, kTablet) << "connected devices are never forgotten";
}

TEST(DeviceActivity, TheTipAndTheMenuWords) {
  EXPECT_EQ(activity::TrayTip(false, {}), "Mirovanta 2");
  EXPECT_EQ(activity::TrayTip(true, {kPhone}), "Mirovanta 2 (paused)");
  EXPECT_EQ(activity::TrayTip(false, {kPhone}),
            "Mirovanta 2 \xE2\x80\x94 1 device connected (192.168.1.23)");
  EXPECT_EQ(activity::TrayTip(false, {kPhone, kTablet}),
            "Mirovanta 2 \xE2\x80\x94 2 devices connected (192.168.1.23, 192.168.1.24)");
  std::vector<std::uint32_t> many;
  for (std::uint32_t i = 0; i < 16; ++i) many.push_back(0xC0A80164u + i);
  const std::string tip = activity::TrayTip(false, many);
  EXPECT_LE(tip.size() - 2 - 2, 127u) << "in the shell's units: the two dashes are one each";
  EXPECT_EQ(tip.substr(tip.size() - 4), "\xE2\x80\xA6)");
  activity::DeviceUse use{kPhone, 0, true, 0};
  EXPECT_EQ(activity::UseText(use, 59999), "last command just now");
  EXPECT_EQ(activity::UseText(use, 125000), "last command 2 min ago");
  EXPECT_EQ(activity::UseText(use, 3 * 3600 * 1000), "last command 3 h ago");
  use.connections = 1;
  EXPECT_EQ(activity::UseText(use, 125000), "connected");
}

TEST(TrayLook, TheIconShowsInUseAndTurnsBackAMinuteAfterTheLastCommand) {
  ActivityFixture t;
  t.Create();
  t.Command(0x7F000001u, kPlay);
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::InUse);
  EXPECT_EQ(t.looks.back().tip, "Mirovanta 2 \xE2\x80\x94 1 device connected (127.0.0.1)");
  ASSERT_EQ(t.timers.running.size(), 1u) << "a timer ticks while the icon shows in use";
  t.system.tick_ms += activity::TDeviceActivity::kInUseForMs;
  t.timers.TickAll();
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::Normal);
  EXPECT_TRUE(t.timers.running.empty()) << "and none at idle";
  EXPECT_EQ(t.looks.back().tip, "Mirovanta 2");
  t.Events().DeviceConnected(service::Origin::App(0x7F000001u));
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::InUse);
  t.Click(t.Access().Pause1);
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::Paused) << "paused goes first";
  t.Click(t.Access().Pause1);
  t.Events().DeviceDisconnected(service::Origin::App(0x7F000001u));
  EXPECT_EQ(t.looks.back().state, platform::TrayIconState::Normal);
}

TEST(TrayLook, TheDevicesMenuShowsWhoIsConnectedAndWhoIsAllowed) {
  ActivityFixture t;
  t.registry.SetString(platform::RootKey::CurrentUser, "Software\\Mirovanta 2\\Devices",
                       "3c-22-fb-01-02-03", "192.168.1.23");
  t.Create();
  t.Events().DeviceConnected(service::Origin::App(0x7F000001u));
  std::vector<std::string> captions;
  for (const service::TMenuItem& device : t.DevicesMenu()) captions.push_back(device.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"127.0.0.1\tconnected", "-",
                                                "3c-22-fb-01-02-03 (192.168.1.23)\tallowed"}));
}

}  // namespace

namespace {

// Waits for the name book's thread to bring back a lookup.
void WaitForName(activity::TActivityService& activity, std::uint32_t address,
                 const std::string& hardware) {
  for (int i = 0; i < 500 && !activity.Names.Name(address, hardware); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TEST(DeviceNames, AnOpenQuestionAndTheMenuShowTheNameTheNetworkGives) {
  ActivityFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.sockets.host_names[kPhone] = "pixel-7.lan";
  t.Create();
  t.Command(kPhone, kPlay);
  ASSERT_EQ(t.dialogs.open.size(), 1u);
  WaitForName(t.Activity(), kPhone, "3c-22-fb-01-02-03");
  t.timers.TickAll();
  const std::vector<std::string>& lines = t.dialogs.open.begin()->second.text.lines;
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "A device at 192.168.1.23 wants to control this PC.");
  EXPECT_EQ(lines[1], "Hardware address: 3c-22-fb-01-02-03");
  EXPECT_EQ(lines[2], "Calls itself \"pixel-7.lan\"");
  EXPECT_TRUE(t.timers.running.empty()) << "the watch for the name ended";
  t.dialogs.Answer(platform::PromptAnswer::Yes);
  t.Command(kPhone, kPlay);
  std::vector<std::string> captions;
  for (const service::TMenuItem& device : t.DevicesMenu()) captions.push_back(device.Caption);
  ASSERT_FALSE(captions.empty());
  EXPECT_EQ(captions[0], "192.168.1.23 (3c-22-fb-01-02-03, pixel-7.lan)\tlast command just now");
}

TEST(DeviceNames, WithoutANameTheQuestionStaysAsItWasAndTheWatchEnds) {
  ActivityFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.Create();
  t.Command(kPhone, kPlay);
  WaitForName(t.Activity(), kPhone, "3c-22-fb-01-02-03");
  t.timers.TickAll();
  ASSERT_EQ(t.dialogs.open.size(), 1u);
  EXPECT_EQ(t.dialogs.open.begin()->second.text.lines.at(2), "It gives no name.");
  EXPECT_TRUE(t.timers.running.empty());
}

TEST(DeviceNames, TheBookKeepsItsBound) {
  std::atomic<int> lookups{0};
  activity::TNameBook book(
      [&](std::uint32_t) {
        ++lookups;
        return std::string("x");
      },
      [] { return std::uint64_t{0}; });
  for (std::uint32_t i = 0; i < 200; ++i) book.Request(0x0A000001u + i, "");
  book.Request(0x0A000001u + 199, "");  // known or under way: not looked up again
  for (int i = 0; i < 500 && !book.Name(0x0A000001u + 199, ""); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(book.Name(0x0A000001u + 199, ""), "x");
  EXPECT_FALSE(book.Name(0x0A000001u, "")) << "the oldest asked for went first";
  EXPECT_LE(lookups.load(), 200);
}

// Waits for a book's thread to bring back a lookup.
bool WaitForName(activity::TNameBook& book, std::uint32_t address) {
  for (int i = 0; i < 500 && !book.Name(address, ""); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return book.Name(address, "").has_value();
}

// A name is the network's answer of the last ten minutes, and a question
// looks it up afresh: an address a known device had may be a stranger's now.
TEST(DeviceNames, ANameExpiresAndAQuestionLooksItUpAfresh) {
  std::atomic<std::uint64_t> now{0};
  std::atomic<int> lookups{0};
  std::string answer = "annas-pixel";
  std::mutex answer_mutex;
  activity::TNameBook book(
      [&](std::uint32_t) {
        ++lookups;
        std::lock_guard lock(answer_mutex);
        return answer;
      },
      [&] { return now.load(); });
  book.Request(kPhone, "");
  ASSERT_TRUE(WaitForName(book, kPhone));
  EXPECT_EQ(book.Name(kPhone, ""), "annas-pixel");
  {
    std::lock_guard lock(answer_mutex);
    answer = "stranger";
  }
  book.Request(kPhone, "");
  EXPECT_EQ(lookups.load(), 1) << "fresh: not looked up again";
  now += activity::TNameBook::kFreshForMs;
  EXPECT_FALSE(book.Name(kPhone, "")) << "too old to be shown";
  book.Request(kPhone, "");
  ASSERT_TRUE(WaitForName(book, kPhone));
  EXPECT_EQ(book.Name(kPhone, ""), "stranger");
  {
    // The lookup waits for the answer until the name has been looked at.
    std::lock_guard lock(answer_mutex);
    book.LookUpAgain(kPhone, "");
    EXPECT_FALSE(book.Name(kPhone, "")) << "not shown until the new answer";
  }
  ASSERT_TRUE(WaitForName(book, kPhone));
  EXPECT_EQ(lookups.load(), 3);
}

// The name goes with the device that had the address: another device there
// is shown no name until its own lookup comes back.
TEST(DeviceNames, ANameIsNotShownForAnotherDeviceAtTheSameAddress) {
  std::atomic<int> lookups{0};
  activity::TNameBook book(
      [&](std::uint32_t) {
        ++lookups;
        return std::string("annas-pixel");
      },
      [] { return std::uint64_t{0}; });
  book.Request(kPhone, "3c-22-fb-01-02-03");
  for (int i = 0; i < 500 && !book.Name(kPhone, "3c-22-fb-01-02-03"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(book.Name(kPhone, "3c-22-fb-01-02-03"), "annas-pixel");
  EXPECT_FALSE(book.Name(kPhone, "66-66-66-66-66-66")) << "a stranger at the phone's address";
  EXPECT_FALSE(book.Name(kPhone, "")) << "nor a device the PC does not know";
  book.Request(kPhone, "66-66-66-66-66-66");
  EXPECT_FALSE(book.Name(kPhone, "3c-22-fb-01-02-03")) << "the address is the stranger's now";
  for (int i = 0; i < 500 && lookups.load() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(lookups.load(), 2) << "looked up again for the other device";
}

TEST(DeviceNames, WhatTheNetworkCallsADeviceIsCleanedBeforeItIsShown) {
  struct Case {
    std::string given;
    std::string shown;
  };
  const Case cases[] = {
      {"pixel-7.lan", "pixel-7.lan"},
      {"phone\tallowed", "phoneallowed"},          // a tab would split the menu's column
      {"&Allow", "&Allow"},                        // kept as it is; the menu shows it so
      {"evil\xE2\x80\xAEnip.exe", "evilnip.exe"},  // U+202E, right-to-left override
      {"a\xE2\x81\xA6"
       "b\xE2\x80\x8F"
       "c",
       "abc"},  // an isolate and a direction mark
      {std::string("nul\0byte", 8), "nulbyte"},
      {"line\r\nbreak", "linebreak"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},  // letters beyond ASCII stay
      {"bad\xC3(\xFF"
       "end",
       "bad(end"},  // bytes that are not UTF-8 go
      {std::string(1000, 'x'), std::string(39, 'x') + "\xE2\x80\xA6"},
      {std::string(40, 'y'), std::string(40, 'y')},
  };
  for (const Case& c : cases) EXPECT_EQ(activity::CleanName(c.given), c.shown) << c.given;
}

}  // namespace
