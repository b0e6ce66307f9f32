// What the main form reads and sets while it starts.
#include <gtest/gtest.h>

#include "platform/framework_error.h"
#include "platform/owners.h"
#include "tests/doubles/form_fixture.h"

namespace {

using platform::RootKey;
constexpr const char* kVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(StartUp, UserAccountControlSystemsCountAsNt6) {
  struct Case {
    platform::OsVersion version;
    int is_nt6;
    bool terminates;
  };
  const Case cases[] = {{{5, 1, true}, 0, false},
                        {{6, 0, true}, 1, false},
                        {{6, 2, true}, 1, false},
                        {{10, 0, true}, 1, false},
                        {{4, 10, false}, 0, true}};  // Windows 98
  for (const Case& c : cases) {
    doubles::FormFixture t;
    t.system.version = c.version;
    t.Create();
    EXPECT_EQ(t.Form().Launch.Utilities.IsNT6, c.is_nt6)
        << c.version.major << "." << c.version.minor;
    const bool terminated =
        std::count(t.application.calls.begin(), t.application.calls.end(), "Terminate") == 1;
    EXPECT_EQ(terminated, c.terminates);
  }
}

TEST(StartUp, PathsNamesAndAddresses) {
  doubles::FormFixture t;
  t.system.computer_name = "FIFTEEN-CHARS-1";
  t.sockets.host_addresses = {0xC0A80114u, 0x0A000005u};
  t.registry.SetString(RootKey::LocalMachine, kShellFolders, "Common Startup",
                       "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
  t.registry.SetString(RootKey::CurrentUser, kShellFolders, "Startup", "C:\\Users\\ann\\Startup");
  t.Create();
  shell::TForm1& form = t.Form();
  EXPECT_EQ(form.Launch.Store.IniFilePath, "C:\\Users\\ann\\AppData\\Local\\Temp\\Mirovanta2.Dat");
  EXPECT_EQ(form.ComputerName, "FIFTEEN-CHARS-1");
  EXPECT_EQ(t.sockets.resolved_names, (std::vector<std::string>{"FIFTEEN-CHARS-1"}));
  EXPECT_EQ(form.IpList, "192.168.1.20, 10.0.0.5");
  EXPECT_EQ(form.Label1.Caption, "FIFTEEN-CHARS-1 Local IP Address");
  EXPECT_EQ(form.IP1.Caption, "192.168.1.20, 10.0.0.5");
  EXPECT_EQ(form.Autostart.CommonStartupLink,
            "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\Mirovanta 2.lnk");
  EXPECT_EQ(form.Autostart.UserStartupLink, "C:\\Users\\ann\\Startup\\Mirovanta 2.lnk");
  EXPECT_EQ(form.Autostart.LinkDescription, "Mirovanta 2");
  EXPECT_EQ(t.registry.open_keys, 0);
}

TEST(StartUp, AnUnresolvableNameAndMissingValuesLeaveEmptyFields) {
  doubles::FormFixture t;
  t.system.computer_name = "";
  t.system.temp_path = "";
  t.sockets.host_addresses = {};
  t.Create();
  EXPECT_EQ(t.Form().IpList, "");
  EXPECT_EQ(t.Form().Label1.Caption, " Local IP Address");
  EXPECT_EQ(t.Form().Launch.Store.IniFilePath, "Mirovanta2.Dat");
  EXPECT_EQ(t.Form().Launch.Utilities.ProgFilesDir, "");
  EXPECT_EQ(t.Form().Autostart.CommonStartupLink, "\\Mirovanta 2.lnk");
  EXPECT_EQ(t.Form().Autostart.UserStartupLink, "\\Mirovanta 2.lnk");
}

TEST(StartUp, ProgramFilesPrefersThe32BitFolder) {
  doubles::FormFixture t;
  t.registry.SetString(RootKey::LocalMachine, kVersionKey, "ProgramFilesDir", "C:\\Program Files");
  t.registry.SetString(RootKey::LocalMachine, kVersionKey, "ProgramFilesDir (x86)",
                       "C:\\Program Files (x86)");
  t.Create();
  EXPECT_EQ(t.Form().Launch.Utilities.ProgFilesDir, "C:\\Program Files (x86)");
  doubles::FormFixture only;
  only.registry.SetString(RootKey::LocalMachine, kVersionKey, "ProgramFilesDir",
                          "C:\\Program Files");
  only.Create();
  EXPECT_EQ(only.Form().Launch.Utilities.ProgFilesDir, "C:\\Program Files");
}

TEST(StartUp, TheAutostartMarkIsOnWhenEitherShortcutExists) {
  struct Case {
    bool common, user, checked;
  };
  for (const Case& c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true},
                        Case{true, true, true}}) {
    doubles::FormFixture t;
    if (c.common) t.system.files.insert("\\Mirovanta 2.lnk");
    t.registry.SetString(RootKey::CurrentUser, kShellFolders, "Startup", "U:");
    if (c.user) t.system.files.insert("U:\\Mirovanta 2.lnk");
    t.Create();
    EXPECT_EQ(t.Form().Autostart.StartRun1.Checked, c.checked) << c.common << c.user;
  }
}

}  // namespace

namespace {

// A value of the wrong type makes the start-up fail after the listener has
// started. The error box that follows runs a message loop: what the listener
// queued must not reach the form that is gone by then.
TEST(StartUp, AFailureAfterTheListenerStartedLeavesNothingToWakeUp) {
  doubles::FormFixture t;
  t.registry.SetString(RootKey::LocalMachine, kShellFolders, "Common Startup", "x",
                       platform::RegistryView::Native, platform::RegistryType::Other);  // a number
  EXPECT_THROW(t.Create(), platform::EFrameworkError);
  EXPECT_FALSE(t.application.events.OnWake) << "the wake-up still leads into the destroyed form";
  if (t.application.events.OnWake) t.application.events.OnWake();
  EXPECT_EQ(t.sockets.open_sockets, 0) << "the listener has stopped";
}

TEST(LaserCompanion, HostExitClosesAStartedCompanionOnly) {
  {
    doubles::FormFixture t;
    t.windows.found = 9;
    t.Form().Media.Laser.StartLaserCompanion();
    t.form.reset();
    EXPECT_EQ(t.windows.calls.back(), "PostClose 9");
  }
  {
    doubles::FormFixture t;
    t.windows.found = 9;
    t.Create();
    t.form.reset();
    EXPECT_TRUE(t.windows.calls.empty()) << "a companion the host did not start is left alone";
  }
}

TEST(AddressWatch, AStartUpThatFailsLeavesNoWatchBehind) {
  doubles::FormFixture fixture;
  fixture.tcp.listen_error = 10048;  // the TCP port is taken
  EXPECT_THROW(fixture.Create(), platform::EFrameworkError);
  EXPECT_EQ(fixture.sockets.AddressWatches(), 0u);
  // A DHCP renewal while the error box is up: nothing may call the form that is gone.
  fixture.sockets.ChangeAddresses();
}

TEST(AddressWatch, AFormThatEndsLeavesNoWatchBehind) {
  doubles::FormFixture fixture;
  fixture.Create();
  EXPECT_EQ(fixture.sockets.AddressWatches(), 1u);
  fixture.form.reset();
  EXPECT_EQ(fixture.sockets.AddressWatches(), 0u);
  fixture.sockets.ChangeAddresses();
}

}  // namespace
