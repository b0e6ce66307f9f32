// A button of a media application page: one action from the key map.
#include "media/key_map.h"
#include "shell/form1.h"

namespace shell {

void TForm1::MediaPageButton(std::uint8_t page, std::uint8_t code) {
  const media::Action action = media::LookUpButton(page, code);
  switch (action.kind) {
    case media::ActionKind::Nothing: break;
    case media::ActionKind::Key: SendKey(action.k1); break;
    case media::ActionKind::Chord2: SendChord2(action.k1, action.k2); break;
    case media::ActionKind::Chord3: SendChord3(action.k1, action.k2, action.k3); break;
    case media::ActionKind::PlayerKey: SendKey(IsWmp9or10 ? action.k1 : action.k2); break;
    case media::ActionKind::Launch: LaunchPageApp(page); break;
    case media::ActionKind::Close: ClosePageApp(page); break;
    case media::ActionKind::LaserOn: StartLaserCompanion(); break;
    case media::ActionKind::LaserOff: StopLaserCompanion(); break;
  }
}

}  // namespace shell
