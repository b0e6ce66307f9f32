#include "media/media_service.h"

#include "media/key_map.h"
#include "protocol/command_groups.h"
#include "protocol/wire_format.h"

namespace media {

TMediaService::TMediaService(platform::IShell& shell, platform::IWindows& windows,
                             platform::IProcesses& processes, const std::string& exe_directory,
                             input::TInputService& input, launch::TLaunchService& launch)
    : Laser(shell, windows, processes, exe_directory), input_(input), launch_(launch) {}

void TMediaService::RegisterCommands(protocol::TCommandDispatcher& commands) {
  commands.Register(
      protocol::wire::kGroupMediaPage,
      [this, pages = protocol::MediaPageCommands(*this)](const protocol::TCommand& command) {
        // Keys go to the window in front, also a page's launch.
        input_.BeforeInput();
        pages(command);
      },
      [](const protocol::TCommand& command) {
        return SendsKeys(LookUpButton(command.selector, command.Byte(0)).kind);
      });
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
