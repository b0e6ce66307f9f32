#pragma once
// Who may drive this PC: the access capability with the activity capability
// it names devices through, fed by a real listener over the socket double;
// what the gate lets through is written down, not carried out.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/access_service.h"
#include "activity/activity_service.h"
#include "protocol/udp_server.h"
#include "protocol/wire_format.h"
#include "service/host_events.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/fake_dialogs.h"
#include "tests/doubles/fake_files.h"
#include "tests/doubles/fake_session.h"
#include "tests/doubles/fake_sockets.h"
#include "tests/doubles/fake_system.h"
#include "tests/doubles/recording_events.h"
#include "tests/doubles/recording_sink.h"

namespace doubles {

struct AccessFixture {
  struct Look {
    platform::TrayIconState state;
    std::string tip;
  };

  FakeSockets sockets;
  FakeRegistry registry;
  FakeSystem system;
  FakeDialogs dialogs;
  FakeTimers timers;
  FakeHotkeys hotkeys;
  FakeFiles files;  // the activity log
  FakeShell shell;
  std::vector<Look> looks;   // the tray icon as the activity capability drew it
  RecordingEvents recorded;  // what the capabilities told
  RecordingSink commands;    // what the gate let through

  struct Services {
    service::THostEvents events;
    activity::TActivityService activity;
    access_policy::TAccessService access;
    protocol::TIdUDPServer listener;
    explicit Services(AccessFixture& t)
        : activity(
              {t.files, t.system, t.timers, t.shell, t.sockets},
              [this](std::uint32_t address) { return access.HardwareAddress(address); },
              [&t](platform::TrayIconState state, const std::string& tip) {
                t.looks.push_back({state, tip});
              }),
          access({t.sockets, t.registry, t.system, t.dialogs, t.timers, t.hotkeys}, events,
                 activity, t.commands),
          listener(t.sockets, {}) {}
  };
  std::unique_ptr<Services> services;

  // A PC on a home network: 192.168.1.20/24.
  AccessFixture() { sockets.interfaces = {{0xC0A80114u, 0xFFFFFF00u}}; }

  // As the start-up: the events' order, the settings, the listener.
  void Create() {
    services = std::make_unique<Services>(*this);
    Services& s = *services;
    s.events.Subscribe(s.activity);
    s.events.Subscribe(s.access);
    s.events.Subscribe(recorded);
    s.access.Load();
    s.listener.BufferSize = protocol::wire::kLargestDatagram;
    s.listener.OnListenerRead = [&s](protocol::TIdSocketHandle& binding, const std::uint8_t* data,
                                     std::size_t size) {
      return s.access.ListenerRead(s.listener, binding, data, size);
    };
    s.listener.OnUDPRead = [&s](protocol::TIdUDPServer&, protocol::TStream& data,
                                protocol::TIdSocketHandle& binding) {
      s.access.CommandArrived(data, binding);
    };
    s.access.WatchAddresses();
    s.listener.SetActive(true);
  }
  // Takes the services down as the host's end does: the listener first.
  void End() {
    if (!services) return;
    services->listener.SetActive(false);
    services->access.Stop();
    services.reset();
  }
  ~AccessFixture() { End(); }

  // How many commands the gate let through.
  std::size_t Carried() const { return commands.commands.size(); }
  access_policy::TAccessService& Access() {
    if (!services) Create();
    return services->access;
  }
  activity::TActivityService& Activity() {
    if (!services) Create();
    return services->activity;
  }
  service::IHostEvents& Events() {
    if (!services) Create();
    return services->events;
  }

  // A datagram from `from`, handled as the host handles it.
  void Command(std::uint32_t from,
               const std::vector<std::uint8_t>& bytes = {0x15, 0x65, 0x01, 0x03, 0x20}) {
    if (!services) Create();
    sockets.Deliver(bytes, {from, 40000});
    Drain();
  }
  // Plays the message loop until the listener has taken every queued datagram
  // and the main thread has run what it handed over.
  void Drain() {
    using namespace std::chrono_literals;
    auto& handover = services->listener.Handover();
    auto end = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < end) {
      handover.WaitAndRun(10ms);
      if (sockets.WaitUntilReceivedAll(0ms) && handover.WaitAndRun(30ms) == 0) return;
    }
  }
  // The user opens the tray menu and clicks a row of the access capability.
  void Click(service::TMenuItem& row) {
    Access().BeforeMenu();
    row.OnClick();
  }
  // The Devices submenu as the menu would show it now.
  std::vector<service::TMenuItem> DevicesMenu() {
    Access().BeforeMenu();
    return Access().Devices1.Items;
  }
  // The log's lines without their time stamps.
  std::vector<std::string> Lines(const std::string& log) {
    Activity().Log.Flush();
    std::vector<std::string> lines;
    std::string text = files.Text(log);
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.size() > 21 ? line.substr(21) : line);
      start = end + 1;
    }
    return lines;
  }
};

}  // namespace doubles
