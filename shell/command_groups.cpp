// The command datagram's groups: each is registered with the dispatcher and
// ends in the subsystem that carries it out.
#include "media/key_map.h"
#include "protocol/command_groups.h"
#include "shell/form1.h"

namespace shell {

void TForm1::RegisterCommandGroups() {
  using namespace protocol::wire;
  Dispatcher.Register(kGroupMediaPage, protocol::MediaPageCommands(*this));
  Dispatcher.Register(kGroupText, protocol::TextCommands(TextAndPointer));
  Dispatcher.Register(kGroupPointer, protocol::PointerCommands(TextAndPointer));
  Dispatcher.Register(kGroupUtility, protocol::UtilityCommands(Utilities));
}

void TForm1::MediaPageButton(std::uint8_t page, std::uint8_t code) {
  const media::Action action = media::LookUpButton(page, code);
  switch (action.kind) {
    case media::ActionKind::Nothing: break;
    case media::ActionKind::Key: Keyboard.SendKey(action.k1); break;
    case media::ActionKind::Chord2: Keyboard.SendChord2(action.k1, action.k2); break;
    case media::ActionKind::Chord3: Keyboard.SendChord3(action.k1, action.k2, action.k3); break;
    case media::ActionKind::PlayerKey:
      Keyboard.SendKey(Pages.IsWmp9or10 ? action.k1 : action.k2);
      break;
    case media::ActionKind::Launch: Pages.LaunchPageApp(page); break;
    case media::ActionKind::Close: Pages.ClosePageApp(page); break;
    case media::ActionKind::LaserOn: Laser.StartLaserCompanion(); break;
    case media::ActionKind::LaserOff: Laser.StopLaserCompanion(); break;
  }
}

}  // namespace shell
