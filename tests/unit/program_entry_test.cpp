#include "shell/program_entry.h"

#include <gtest/gtest.h>

#include "protocol/early_probe_answerer.h"
#include "platform/framework_error.h"
#include "shell/exit_request.h"
#include "tests/doubles/nearby_over.h"
#include "tests/doubles/fake_application.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/fake_sockets.h"

namespace {

using Strings = std::vector<std::string>;

TEST(ProgramEntry, SecondCopyEndsAtOnceWithoutTouchingAnything) {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  processes.mutex_taken = true;
  doubles::FakeApplication application;
  bool created = false;
  int code =
      shell::ProgramEntry(processes, windows, application, "", [&]() -> std::shared_ptr<void> {
        created = true;
        return nullptr;
      });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(created);
  EXPECT_TRUE(application.calls.empty());
  EXPECT_EQ(processes.calls,
            (Strings{"CreateNamedMutex ZANTRIX_MIROVANTA2 owned", "ReleaseNamedMutex 42"}));
}

TEST(ProgramEntry, FirstCopyKeepsTheLockAndRunsTheFormUntilTheLoopEnds) {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  doubles::FakeApplication application;
  auto alive = std::make_shared<int>(1);
  std::weak_ptr<int> watch = alive;
  bool alive_while_running = false;
  application.on_run = [&] { alive_while_running = !watch.expired(); };
  int code =
      shell::ProgramEntry(processes, windows, application, "",
                          [&]() -> std::shared_ptr<void> { return std::exchange(alive, nullptr); });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(alive_while_running);
  EXPECT_TRUE(watch.expired()) << "the form is destroyed after the loop";
  EXPECT_EQ(application.calls, (Strings{"Initialize", "Run"}));
  EXPECT_EQ(processes.calls, (Strings{"CreateNamedMutex ZANTRIX_MIROVANTA2 owned"}));
}

TEST(ProgramEntry, StartUpErrorIsShownAndTheLoopNeverRuns) {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  doubles::FakeApplication application;
  int code =
      shell::ProgramEntry(processes, windows, application, "", []() -> std::shared_ptr<void> {
        throw platform::EFrameworkError(
            "Could not bind socket. Address and port are already in use.");
      });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(application.calls,
            (Strings{"Initialize",
                     "ShowException Could not bind socket. Address and port are already in use."}));
}

TEST(ProgramEntry, ForeignErrorIsShownWithAnEmptyMessage) {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  doubles::FakeApplication application;
  shell::ProgramEntry(processes, windows, application, "",
                      []() -> std::shared_ptr<void> { throw 17; });
  EXPECT_EQ(application.calls.back(), "ShowException ");
}

TEST(ProgramEntry, EarlyListenerStartsOnlyOnceTheLockIsHeld) {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  doubles::FakeApplication application;
  doubles::FakeSockets sockets;
  protocol::TEarlyProbeAnswerer early(sockets, 1565, doubles::NearbyOver(sockets));
  processes.mutex_taken = true;
  shell::ProgramEntry(
      processes, windows, application, "", [] { return std::shared_ptr<void>(); }, &early);
  EXPECT_EQ(sockets.startups, 0) << "a second copy does not touch the port";

  processes.mutex_taken = false;
  bool answering_before_the_form = false;
  shell::ProgramEntry(
      processes, windows, application, "",
      [&] {
        answering_before_the_form = early.Reading() && sockets.bound.port == 1565;
        return std::shared_ptr<void>();
      },
      &early);
  EXPECT_TRUE(answering_before_the_form);
}

TEST(ProgramEntry, EarlyListenerIsStoppedBeforeTheStartUpErrorIsShown) {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  doubles::FakeApplication application;
  doubles::FakeSockets sockets;
  protocol::TEarlyProbeAnswerer early(sockets, 1565, doubles::NearbyOver(sockets));
  int sockets_open_under_the_box = -1;
  application.on_show_exception = [&] { sockets_open_under_the_box = sockets.open_sockets; };
  shell::ProgramEntry(
      processes, windows, application, "",
      []() -> std::shared_ptr<void> {
        throw platform::EFrameworkError("Cannot Create System Shell Notification Icon");
      },
      &early);
  EXPECT_EQ(sockets_open_under_the_box, 0) << "a remote must not find a host that failed";
  EXPECT_FALSE(early.Reading());
}

TEST(ExceptionDisplayText, AppendsAFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(platform::ExceptionDisplayText("Cannot open clipboard"), "Cannot open clipboard.");
  EXPECT_EQ(platform::ExceptionDisplayText("Already ends."), "Already ends.");
  EXPECT_EQ(platform::ExceptionDisplayText("bind (10048)"), "bind (10048)");
  EXPECT_EQ(platform::ExceptionDisplayText("ends in a slash/"), "ends in a slash/.");
  EXPECT_EQ(platform::ExceptionDisplayText("ends in a dash-"), "ends in a dash-");
  EXPECT_EQ(platform::ExceptionDisplayText(""), "");
}

}  // namespace

namespace {

TEST(ExitRequest, OnlyTheExitSwitchAsksARunningCopyToEnd) {
  const struct {
    const char* arguments;
    bool exit;
  } cases[] = {{"/exit", true},  {"/EXIT", true},      {"  -exit ", true},
               {"--exit", true}, {"", false},          {"/exits", false},
               {"exit", false},  {"/exit now", false}, {"/x", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(shell::IsExitRequest(c.arguments), c.exit) << '"' << c.arguments << '"';
  }
}

struct ExitFixture {
  doubles::FakeProcesses processes;
  doubles::FakeWindows windows;
  doubles::FakeApplication application;
  bool created = false;

  int Run() {
    return shell::ProgramEntry(processes, windows, application, "/exit",
                               [&]() -> std::shared_ptr<void> {
                                 created = true;
                                 return nullptr;
                               });
  }
};

TEST(ExitRequest, ARunningCopyIsSentCloseAndWaitedForWithoutStartingAnother) {
  ExitFixture f;
  f.windows.top_windows = {{77, 4242, "Mirovanta2"}};
  f.windows.found = 77;
  f.processes.ending = {4242};
  EXPECT_EQ(f.Run(), 0);
  EXPECT_FALSE(f.created);
  EXPECT_TRUE(f.application.calls.empty());
  EXPECT_EQ(f.windows.calls, (Strings{"FindTopWindow TApplication Mirovanta2", "PostClose 77"}));
  EXPECT_EQ(f.processes.calls, (Strings{"WaitForExit 4242 30000"}))
      << "no instance lock is taken, so a host may start right after";
}

TEST(ExitRequest, NoRunningCopyEndsWithOneAndACopyThatStaysWithTwo) {
  ExitFixture none;
  EXPECT_EQ(none.Run(), 1);
  EXPECT_TRUE(none.processes.calls.empty());
  EXPECT_FALSE(none.created);

  ExitFixture stays;
  stays.windows.top_windows = {{77, 4242, "Mirovanta2"}};
  stays.windows.found = 77;
  EXPECT_EQ(stays.Run(), 2);
  EXPECT_FALSE(stays.created);
}

}  // namespace
