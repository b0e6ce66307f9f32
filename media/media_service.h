#pragma once
// The media applications' pages as one capability: each button of a page is
// pressed as the page's key map says, starts or closes the page's program, or
// starts and stops the laser companion. It carries out the page buttons and
// the laser switch of either remote.
#include <cstdint>
#include <string>

#include "input/input_service.h"
#include "launch/launch_service.h"
#include "media/laser_companion.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "service/capability.h"

namespace media {

class TMediaService final : public service::ICapability, public service::ICommandOwner {
 public:
  // `exe_directory`: the host's own folder, where "Laser.exe" is.
  TMediaService(platform::IShell& shell, platform::IWindows& windows,
                platform::IProcesses& processes, const std::string& exe_directory,
                input::TInputService& input, launch::TLaunchService& launch);

  // Its part of the start-up: no laser window is known yet.
  void Start() { Laser.LaserWnd = 0; }
  void RegisterCommands(service::TCommandRouter& commands) override;
  // A page button sends keys when its cell of the key map is a key or chord.
  bool SendsInput(const service::Ask& ask) const override;
  void CarryOut(const service::RemoteCommand& command) override;
  // A button of a media application page (1..8).
  void MediaPageButton(std::uint8_t page, std::uint8_t code);

  TLaserCompanion Laser;

 private:
  input::TInputService& input_;
  launch::TLaunchService& launch_;
};

}  // namespace media
