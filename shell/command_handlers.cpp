// The command datagram's group handlers: each hands its command to the
// subsystem that carries it out.
#include "media/key_map.h"
#include "shell/form1.h"

namespace shell {

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

void TForm1::TypeText(std::string_view text) { TextAndPointer.TypeText(text); }
void TForm1::MovePointer(std::int8_t dx, std::int8_t dy) { TextAndPointer.MovePointer(dx, dy); }
void TForm1::LeftClick() { TextAndPointer.LeftClick(); }
void TForm1::RightClick() { TextAndPointer.RightClick(); }
void TForm1::TurnWheel(bool toward_user) { TextAndPointer.TurnWheel(toward_user); }
void TForm1::LaunchUtility(std::uint8_t selector) { Utilities.LaunchUtility(selector); }
void TForm1::CloseUtility(std::uint8_t selector) { Utilities.CloseUtility(selector); }

}  // namespace shell
