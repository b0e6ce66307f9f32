// The command datagram's groups: each is registered with the dispatcher and
// ends in the subsystem that carries it out.
#include "launch/app_tables.h"
#include "media/key_map.h"
#include "platform/framework_error.h"
#include "protocol/command_groups.h"
#include "shell/form1.h"

namespace shell {
namespace {

const char* UtilityName(std::uint8_t selector) {
  const launch::Utility* utility = launch::FindUtility(selector);
  return utility != nullptr ? utility->name : "";
}

const char* PageAppName(std::uint8_t page) {
  const launch::PageApp* app = launch::FindPageApp(page);
  return app != nullptr ? app->name : "";
}

}  // namespace

void TForm1::RegisterCommandGroups() {
  using namespace protocol::wire;
  Dispatcher.Register(kGroupMediaPage, protocol::MediaPageCommands(*this));
  Dispatcher.Register(kGroupText, protocol::TextCommands(*this));
  Dispatcher.Register(kGroupPointer, protocol::PointerCommands(TextAndPointer));
  Dispatcher.Register(kGroupUtility, protocol::UtilityCommands(*this));
}

// The groups the activity log follows go through the form; the log gets the
// text's length, never the text.
void TForm1::TypeText(std::string_view text) {
  try {
    TextAndPointer.TypeText(text);
  } catch (const platform::EFrameworkError&) {
    NoteActivity(command_from_, activity::Activity::ClipboardBusy);
    throw;  // the dispatcher ends the command as before
  }
  NoteActivity(command_from_, activity::Activity::Typed, std::to_string(text.size()));
}

void TForm1::LaunchUtility(std::uint8_t selector) {
  NoteLaunch(Utilities.LaunchUtility(selector), UtilityName(selector));
}

void TForm1::CloseUtility(std::uint8_t selector) {
  if (Utilities.CloseUtility(selector)) {
    NoteActivity(command_from_, activity::Activity::ClosedProgram, UtilityName(selector));
  }
}

void TForm1::NoteLaunch(launch::LaunchOutcome outcome, const char* name) {
  switch (outcome) {
    case launch::LaunchOutcome::Skipped: break;
    case launch::LaunchOutcome::Started:
      NoteActivity(command_from_, activity::Activity::Launched, name);
      break;
    case launch::LaunchOutcome::Locating:
      NoteActivity(command_from_, activity::Activity::Locating, name);
      break;
    case launch::LaunchOutcome::Failed:
      NoteActivity(command_from_, activity::Activity::LaunchFailed, name);
      break;
  }
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
    case media::ActionKind::Launch: NoteLaunch(Pages.LaunchPageApp(page), PageAppName(page)); break;
    case media::ActionKind::Close:
      if (Pages.ClosePageApp(page)) {
        NoteActivity(command_from_, activity::Activity::ClosedProgram, PageAppName(page));
      }
      break;
    case media::ActionKind::LaserOn: Laser.StartLaserCompanion(); break;
    case media::ActionKind::LaserOff: Laser.StopLaserCompanion(); break;
  }
}

}  // namespace shell
