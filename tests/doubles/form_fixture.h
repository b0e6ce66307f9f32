#pragma once
// A main form over doubles of every platform service; the test plays the
// message loop.
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "shell/form1.h"
#include "tests/doubles/fake_application.h"
#include "tests/doubles/fake_dialogs.h"
#include "tests/doubles/fake_files.h"
#include "tests/doubles/fake_network_status.h"
#include "tests/doubles/fake_protect.h"
#include "tests/doubles/fake_session.h"
#include "tests/doubles/fake_sessions.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/fake_shell_services.h"
#include "tests/doubles/fake_sockets.h"
#include "tests/doubles/fake_system.h"

namespace doubles {

inline const std::string kActivityLog = "C:\\Users\\ann\\AppData\\Local\\Mirovanta 2\\activity.log";

struct FormFixture {
  FakeSockets sockets;
  FakeApplication application;
  FakeInput input;
  FakeClipboard clipboard;
  FakeShell shell;
  FakeWindows windows;
  FakeProcesses processes;
  FakeRegistry registry;
  FakeProfile profile;
  FakeSystem system;
  FakeNotificationArea tray;
  FakeStreamServer tcp;
  FakeLinks links;
  FakeDialogs dialogs;
  FakeFiles files;
  FakeTimers timers;
  FakeHotkeys hotkeys;
  FakeNetworkStatus network_status;
  FakeProtect protect;
  FakeSessions sessions;
  shell::TPlatform services{sockets,
                            input,
                            clipboard,
                            shell,
                            windows,
                            processes,
                            registry,
                            profile,
                            system,
                            tray,
                            tcp,
                            links,
                            dialogs,
                            files,
                            timers,
                            hotkeys,
                            network_status,
                            platform::SystemCrypto(),
                            protect,
                            sessions,
                            0};

  // A PC on a home network: 192.168.1.20/24.
  FormFixture() {
    links.files = &system.files;
    sockets.interfaces = {{0xC0A80114u, 0xFFFFFF00u}};
  }
  std::unique_ptr<shell::TForm1> form;

  void Create(protocol::TEarlyProbeAnswerer* early = nullptr) {
    form = std::make_unique<shell::TForm1>(application, services, early);
  }
  shell::TForm1& Form() {
    if (!form) Create();
    return *form;
  }

  // The activity log's lines without their time stamps.
  std::vector<std::string> LogLines() {
    form->Activity.Log.Flush();
    std::vector<std::string> lines;
    std::istringstream text(files.Text(kActivityLog));
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.size() > 21 ? line.substr(21) : line);
    }
    return lines;
  }

  // Plays the message loop until the listener has taken every queued datagram
  // and the main thread has run what it handed over.
  void Drain() {
    using namespace std::chrono_literals;
    auto end = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < end) {
      form->IdUDPServer1.Handover().WaitAndRun(10ms);
      if (sockets.WaitUntilReceivedAll(0ms) &&
          form->IdUDPServer1.Handover().WaitAndRun(30ms) == 0) {
        return;
      }
    }
  }
};

}  // namespace doubles
