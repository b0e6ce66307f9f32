// What the person at the PC sees of the remote's use, through the form: the
// activity log's lines, the pause hotkey, muted balloons and the log's item.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "tests/doubles/nearby_over.h"
#include "tests/doubles/form_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kPhone = 0xC0A80117u;  // 192.168.1.23
constexpr std::uint32_t kFar = 0x08080808u;
const Bytes kPlay = {0x15, 0x65, 0x01, 0x03, 0x20};
const Bytes kTypeSecret = {0x15, 0x65, 0x02, 0x00, 's', 'e', 'c', 'r', 'e', 't'};
const Bytes kLaunchQuellin = {0x15, 0x65, 0x04, 0x02, 0x02};
const std::string kLog = "C:\\Users\\ann\\AppData\\Local\\Mirovanta 2\\activity.log";
const std::string kPauseCaption = "Pause remote control\tCtrl+Alt+Shift+P";

struct ActivityFixture : doubles::FormFixture {
  void Command(std::uint32_t from, const Bytes& bytes) {
    sockets.Deliver(bytes, {from, 40000});
    Drain();
  }
  // The log's lines without their time stamps.
  std::vector<std::string> Lines() {
    form->Activity.Log.Flush();
    std::vector<std::string> lines;
    std::istringstream text(files.Text(kLog));
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.size() > 21 ? line.substr(21) : line);
    }
    return lines;
  }
  void Choose(const std::string& caption) {
    tray.choose_caption = caption;
    tray.RequestMenu();
  }
};

TEST(ActivityLogForm, TellsWhatADeviceDidAndOnlyTheLengthOfWhatItTyped) {
  ActivityFixture t;
  t.sockets.neighbours[kPhone] = "3c-22-fb-01-02-03";
  t.registry.SetString(platform::RootKey::LocalMachine,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                       "C:\\Program Files");
  t.system.files.insert("C:\\Program Files\\ZANTRIX\\QUELLIN\\QLN.exe");
  t.Create();
  auto phone = t.tcp.Connect(kPhone);
  t.dialogs.Answer(platform::PromptAnswer::Yes);
  t.Command(kPhone, kTypeSecret);
  t.Command(kPhone, kLaunchQuellin);
  t.tcp.Raise(phone, platform::StreamEvent::Close);
  const std::string phone_text = "192.168.1.23 (3c-22-fb-01-02-03)  ";
  EXPECT_EQ(t.Lines(), (std::vector<std::string>{
                           "-  Mirovanta 2 started",
                           phone_text + "connected",
                           phone_text + "asked whether it may control this PC",
                           phone_text + "allowed",
                           phone_text + "typed 6 characters",
                           phone_text + "started QUELLIN",
                           phone_text + "disconnected",
                       }));
  EXPECT_EQ(t.files.Text(kLog).find("secret"), std::string::npos);
}

TEST(ActivityLogForm, AFarFloodMakesOneLineAndStartAndStopAreThere) {
  ActivityFixture t;
  t.Create();
  for (int i = 0; i < 300; ++i) t.sockets.Deliver(kPlay, {kFar, 40000});
  t.Drain();
  t.form->Activity.Log.Flush();
  t.form.reset();
  std::istringstream text(t.files.Text(kLog));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line.substr(21));
  EXPECT_EQ(lines, (std::vector<std::string>{"-  Mirovanta 2 started\r",
                                             "8.8.8.8  refused: not on this PC's network\r",
                                             "-  Mirovanta 2 stopped\r"}));
}

TEST(ActivityLogForm, AnAnswerTheFirstMomentsCouldNotSendIsLoggedOnceTheLogIsThere) {
  ActivityFixture t;
  protocol::TEarlyProbeAnswerer early(t.sockets, shell::TForm1::kPort,
                                      doubles::NearbyOver(t.sockets));
  early.Start();
  t.sockets.send_error = doubles::wsa::kConnectionRefused;
  t.sockets.Deliver({0x15, 0x65, 0x80}, {kPhone, 40000});
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (early.Answered() == 0 && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  t.sockets.send_error = 0;
  t.Create(&early);
  const auto lines = t.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "192.168.1.23  the answer to its search could not be sent"),
            lines.end())
      << ::testing::PrintToString(lines);
}

TEST(ActivityLogForm, ALogThatCannotBeWrittenChangesNothingElse) {
  ActivityFixture t;
  t.files.RefuseWrites(true);
  t.Create();
  t.Command(0x7F000001u, kPlay);
  EXPECT_EQ(t.input.calls.size(), 1u) << "the key was pressed";
  EXPECT_TRUE(t.files.files.empty());
}

TEST(PauseHotkey, CtrlAltShiftPPausesAndResumesAndTheMenuShowsIt) {
  ActivityFixture t;
  t.Create();
  EXPECT_TRUE(t.hotkeys.chord.control && t.hotkeys.chord.alt && t.hotkeys.chord.shift);
  EXPECT_EQ(t.hotkeys.chord.key, 'P');
  t.hotkeys.Press();
  EXPECT_TRUE(t.Form().Access.Paused);
  EXPECT_TRUE(t.Form().Access.Pause1.Checked);
  t.Command(0x7F000001u, kPlay);
  EXPECT_TRUE(t.input.calls.empty()) << "paused: the command is dropped";
  t.hotkeys.Press();
  EXPECT_FALSE(t.Form().Access.Paused);
  t.Command(0x7F000001u, kPlay);
  EXPECT_FALSE(t.input.calls.empty());
  const auto lines = t.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "-  remote control paused"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "-  remote control resumed"), lines.end());
}

TEST(PauseHotkey, TakenByAnotherProgramTheMenuSaysSoAndTheHostGoesOn) {
  ActivityFixture t;
  t.hotkeys.taken = true;
  t.Create();
  EXPECT_FALSE(t.Form().Access.PauseHotkey);
  EXPECT_EQ(t.Form().Access.Pause1.Caption,
            "Pause remote control (Ctrl+Alt+Shift+P is taken by another program)");
  t.Choose(t.Form().Access.Pause1.Caption);
  EXPECT_TRUE(t.Form().Access.Paused) << "the menu item still works";
}

TEST(ConnectionBalloons, OffTheyAreNotShownButTheLogStillTellsAndItIsRemembered) {
  ActivityFixture t;
  t.Create();
  EXPECT_TRUE(t.Form().Presence.Balloons1.Checked) << "on by default";
  t.Choose("Show connection balloons");
  EXPECT_FALSE(t.Form().Presence.Balloons1.Checked);
  t.tcp.Connect(0x7F000001u);
  EXPECT_TRUE(t.tray.Balloons().empty());
  const auto lines = t.Lines();
  EXPECT_EQ(lines.back(), "127.0.0.1  connected");
  t.form.reset();
  t.Create();
  EXPECT_FALSE(t.Form().Presence.Balloons1.Checked);
  t.Choose("Show connection balloons");
  t.tcp.Connect(0x7F000001u);
  EXPECT_EQ(t.tray.Balloons().size(), 1u);
}

TEST(ConnectionBalloons, TheQuestionAboutANewDeviceIsNeverMuted) {
  ActivityFixture t;
  t.Create();
  t.Choose("Show connection balloons");
  t.Command(kPhone, kPlay);
  EXPECT_EQ(t.dialogs.open.size(), 1u);
}

TEST(ActivityLogForm, OpenActivityLogOpensTheFileOrElseNotepad) {
  ActivityFixture t;
  t.Create();
  t.Choose("Open activity log");
  ASSERT_EQ(t.shell.calls.size(), 1u);
  EXPECT_EQ(t.shell.calls[0].file, kLog);
  t.shell.result = 31;  // no program is registered for .log files
  t.Choose("Open activity log");
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
  EXPECT_EQ(t.tray.calls.back().state, platform::TrayIconState::InUse);
  EXPECT_EQ(t.tray.calls.back().tip, "Mirovanta 2 \xE2\x80\x94 1 device connected (127.0.0.1)");
  ASSERT_EQ(t.timers.running.size(), 1u) << "a timer ticks while the icon shows in use";
  t.system.tick_ms += activity::TDeviceActivity::kInUseForMs;
  t.timers.TickAll();
  EXPECT_EQ(t.tray.calls.back().state, platform::TrayIconState::Normal);
  EXPECT_TRUE(t.timers.running.empty()) << "and none at idle";
  EXPECT_EQ(t.tray.calls.back().tip, "Mirovanta 2");
  auto device = t.tcp.Connect(0x7F000001u);
  EXPECT_EQ(t.tray.calls.back().state, platform::TrayIconState::InUse);
  t.Choose(kPauseCaption);
  EXPECT_EQ(t.tray.calls.back().state, platform::TrayIconState::Paused) << "paused goes first";
  t.Choose(kPauseCaption);
  t.tcp.Raise(device, platform::StreamEvent::Close);
  EXPECT_EQ(t.tray.calls.back().state, platform::TrayIconState::Normal);
}

// A reset can end a connection without a close notification: the icon, the
// tip and the log do not go on saying the device is connected.
TEST(TrayLook, ADeviceGoneWithoutANotificationIsDisconnectedAtTheNextTick) {
  ActivityFixture t;
  t.Create();
  const auto device = t.tcp.Connect(0x7F000001u);
  t.tcp.Connect(0x7F000001u);
  EXPECT_EQ(t.tray.calls.back().tip, "Mirovanta 2 \xE2\x80\x94 1 device connected (127.0.0.1)");
  t.tcp.gone.insert(device);
  t.timers.TickAll();
  EXPECT_EQ(t.tcp.open.count(device), 0u) << "its socket is freed";
  EXPECT_EQ(t.tray.LastLook().state, platform::TrayIconState::InUse) << "the other stays";
  t.system.tick_ms += activity::TDeviceActivity::kInUseForMs;
  t.timers.TickAll();
  EXPECT_EQ(t.tray.LastLook().state, platform::TrayIconState::InUse);
  const std::vector<std::string> lines = t.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "127.0.0.1  disconnected"), 1);
}

TEST(TrayLook, TheDevicesMenuShowsWhoIsConnectedAndWhoIsAllowed) {
  ActivityFixture t;
  t.registry.SetString(platform::RootKey::CurrentUser, "Software\\Mirovanta 2\\Devices",
                       "3c-22-fb-01-02-03", "192.168.1.23");
  t.Create();
  t.tcp.Connect(0x7F000001u);
  t.tray.RightClick();
  std::vector<std::string> captions;
  for (const platform::MenuEntry& entry : t.tray.menus_shown.back()) {
    if (entry.caption != "Devices") continue;
    for (const platform::MenuEntry& device : entry.children) captions.push_back(device.caption);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"127.0.0.1\tconnected", "-",
                                                "3c-22-fb-01-02-03 (192.168.1.23)\tallowed"}));
}

}  // namespace

namespace {

// Waits for the name book's thread to bring back a lookup.
void WaitForName(shell::TForm1& form, std::uint32_t address) {
  for (int i = 0; i < 500 && !form.Activity.Names.Name(address); ++i) {
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
  WaitForName(t.Form(), kPhone);
  t.timers.TickAll();
  EXPECT_EQ(t.dialogs.open.begin()->second.text.line1,
            "A device at 192.168.1.23 (3c-22-fb-01-02-03, pixel-7.lan) wants to control this PC.");
  EXPECT_TRUE(t.timers.running.empty()) << "the watch for the name ended";
  t.dialogs.Answer(platform::PromptAnswer::Yes);
  t.Command(kPhone, kPlay);
  t.tray.RightClick();
  std::vector<std::string> captions;
  for (const platform::MenuEntry& entry : t.tray.menus_shown.back()) {
    if (entry.caption != "Devices") continue;
    for (const platform::MenuEntry& device : entry.children) captions.push_back(device.caption);
  }
  ASSERT_FALSE(captions.empty());
  EXPECT_EQ(captions[0], "192.168.1.23 (3c-22-fb-01-02-03, pixel-7.lan)\tlast command just now");
}

TEST(DeviceNames, WithoutANameTheQuestionStaysAsItWasAndTheWatchEnds) {
  ActivityFixture t;
  t.Create();
  t.Command(kPhone, kPlay);
  WaitForName(t.Form(), kPhone);
  t.timers.TickAll();
  EXPECT_EQ(t.dialogs.open.begin()->second.text.line1,
            "A device at 192.168.1.23 wants to control this PC.");
  EXPECT_TRUE(t.timers.running.empty());
}

TEST(DeviceNames, TheBookKeepsItsBound) {
  std::atomic<int> lookups{0};
  activity::TNameBook book([&](std::uint32_t) {
    ++lookups;
    return std::string("x");
  });
  for (std::uint32_t i = 0; i < 200; ++i) book.Request(0x0A000001u + i);
  book.Request(0x0A000001u + 199);  // known or under way: not looked up again
  for (int i = 0; i < 500 && !book.Name(0x0A000001u + 199); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(book.Name(0x0A000001u + 199), "x");
  EXPECT_FALSE(book.Name(0x0A000001u)) << "the oldest asked for went first";
  EXPECT_LE(lookups.load(), 200);
}

}  // namespace
