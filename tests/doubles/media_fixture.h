#pragma once
// The media pages with the two capabilities they work through (keys and
// launching), over the desktop and system doubles, set up as the host's
// start-up leaves them. Built at the first use, after the test has laid out
// the registry and files.
#include <memory>

#include "input/input_service.h"
#include "launch/launch_service.h"
#include "media/media_service.h"
#include "service/host_events.h"
#include "tests/doubles/fake_application.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/doubles/fake_system.h"
#include "tests/doubles/recording_events.h"

namespace doubles {

inline constexpr const char* kHostFolder = "C:\\Program Files\\Mirovanta 2\\";

struct MediaFixture {
  FakeInput input;
  FakeClipboard clipboard;
  FakeShell shell;
  FakeWindows windows;
  FakeProcesses processes;
  FakeRegistry registry;
  FakeProfile profile;
  FakeSystem system;
  RecordingEvents events;

  struct Services {
    input::TInputService input;
    launch::TLaunchService launch;
    media::TMediaService media;
    explicit Services(MediaFixture& t)
        : input({t.input, t.clipboard, t.windows, t.system}, t.events,
                [&t](const std::string& text) { t.warnings.push_back(text); }),
          launch({t.shell, t.processes, t.windows, t.registry, t.profile, t.system}, t.events,
                 kHostFolder),
          media(t.shell, t.windows, t.processes, kHostFolder, input, launch) {}
  };
  std::unique_ptr<Services> services;
  std::vector<std::string> warnings;  // what the input check told the user

  // As the start-up: each service's own start.
  void Create() {
    services = std::make_unique<Services>(*this);
    services->input.Start();
    services->media.Start();
    services->launch.Start();
  }
  media::TMediaService& Media() {
    if (!services) Create();
    return services->media;
  }
  launch::TLaunchService& Launch() {
    if (!services) Create();
    return services->launch;
  }
  input::TInputService& Input() {
    if (!services) Create();
    return services->input;
  }
};

}  // namespace doubles
