#pragma once
// A main form over doubles of every platform service; the test plays the
// message loop.
#include <chrono>
#include <memory>

#include "shell/form1.h"
#include "tests/doubles/fake_application.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/fake_shell_services.h"
#include "tests/doubles/fake_sockets.h"
#include "tests/doubles/fake_system.h"

namespace doubles {

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
  shell::TPlatform services{sockets,  input,   clipboard, shell, windows, processes,
                            registry, profile, system,    tray,  tcp,     links};

  FormFixture() { links.files = &system.files; }
  std::unique_ptr<shell::TForm1> form;

  void Create() { form = std::make_unique<shell::TForm1>(application, services); }
  shell::TForm1& Form() {
    if (!form) Create();
    return *form;
  }

  // Plays the message loop until the listener has taken every queued datagram
  // and the main thread has run what it handed over.
  void Drain() {
    using namespace std::chrono_literals;
    auto end = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < end) {
      form->IdUDPServer1.Handover().WaitAndRun(10ms);
      if (sockets.WaitUntilReceivedAll(0ms) && form->IdUDPServer1.Handover().WaitAndRun(30ms) == 0) {
        return;
      }
    }
  }
};

}  // namespace doubles
