#pragma once
// The presence capability alone, over the stream server, registry, clock and
// timer doubles; who may connect is the test's to say.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "presence/presence_service.h"
#include "tests/doubles/fake_session.h"
#include "tests/doubles/fake_shell_services.h"
#include "tests/doubles/fake_system.h"
#include "tests/doubles/recording_events.h"

namespace doubles {

struct PresenceFixture {
  FakeStreamServer tcp;
  FakeRegistry registry;
  FakeSystem system;
  FakeTimers timers;
  RecordingEvents events;
  std::string computer_name = "DESKTOP-ANN";
  std::function<bool(std::uint32_t)> accept = [](std::uint32_t) { return true; };
  std::vector<std::string> balloons;  // "title / text"
  std::unique_ptr<presence::TPresenceService> presence;

  // As the start-up: the setting read, the server's events, then listening.
  void Create() {
    presence = std::make_unique<presence::TPresenceService>(
        presence::TPresencePlatform{tcp, registry, system, timers}, events, computer_name,
        [this](const std::string& title, const std::string& text) {
          balloons.push_back(title + " / " + text);
        });
    presence->Load([this](std::uint32_t peer) { return accept(peer); });
    presence->Listen(1565);
  }
  presence::TPresenceService& Presence() {
    if (!presence) Create();
    return *presence;
  }
};

}  // namespace doubles
