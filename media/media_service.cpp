#include "media/media_service.h"

#include "media/key_map.h"

namespace media {

TMediaService::TMediaService(platform::IShell& shell, platform::IWindows& windows,
                             platform::IProcesses& processes, const std::string& exe_directory,
                             input::TInputService& input, launch::TLaunchService& launch)
    : Laser(shell, windows, processes, exe_directory), input_(input), launch_(launch) {}

void TMediaService::RegisterCommands(service::TCommandRouter& commands) {
  commands.Register<service::PageButton>(*this);
  commands.Register<service::LaserSwitch>(*this);
}

bool TMediaService::SendsInput(const service::Ask& ask) const {
  const auto* button = std::get_if<service::PageButton>(&ask);
  return button != nullptr && SendsKeys(LookUpButton(button->page, button->code).kind);
}

void TMediaService::CarryOut(const service::RemoteCommand& command) {
  if (const auto* button = std::get_if<service::PageButton>(&command.ask)) {
    // Keys go to the window in front, also a page's launch.
    input_.BeforeInput();
    MediaPageButton(button->page, button->code);
  } else if (const auto* laser = std::get_if<service::LaserSwitch>(&command.ask)) {
    laser->on ? Laser.StartLaserCompanion() : Laser.StopLaserCompanion();
  }
}

void TMediaService::MediaPageButton(std::uint8_t page, std::uint8_t code) {
  input::TInputSender& keyboard = input_.Keyboard;
  const Action action = LookUpButton(page, code);
  switch (action.kind) {
    case ActionKind::Nothing: break;
    case ActionKind::Key: keyboard.SendKey(action.k1); break;
    case ActionKind::Chord2: keyboard.SendChord2(action.k1, action.k2); break;
    case ActionKind::Chord3: keyboard.SendChord3(action.k1, action.k2, action.k3); break;
    case ActionKind::PlayerKey:
      keyboard.SendKey(launch_.Pages.IsWmp9or10 ? action.k1 : action.k2);
      break;
    case ActionKind::Launch: launch_.LaunchPageApp(page); break;
    case ActionKind::Close: launch_.ClosePageApp(page); break;
    case ActionKind::LaserOn: Laser.StartLaserCompanion(); break;
    case ActionKind::LaserOff: Laser.StopLaserCompanion(); break;
  }
}

}  // namespace media
