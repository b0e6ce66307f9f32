#include "input/input_service.h"

#include "platform/framework_error.h"
#include "protocol/command_groups.h"
#include "protocol/wire_format.h"

namespace input {
TInputService::TInputService(TInputPlatform platform, service::IHostEvents& events,
                             TInputTargetCheck::Warn warn)
    : Keyboard(platform.input),
      TextAndPointer(platform.input, platform.clipboard, Keyboard),
      InputTarget(
          platform.windows, [&system = platform.system] { return system.TickCountMs(); },
          std::move(warn)),
      events_(events) {}

void TInputService::RegisterCommands(protocol::TCommandDispatcher& commands) {
  const auto always = [](const protocol::TCommand&) { return true; };
  commands.Register(protocol::wire::kGroupText, protocol::TextCommands(*this), always);
  commands.Register(
      protocol::wire::kGroupPointer,
      [this,
       pointer = protocol::PointerCommands(TextAndPointer)](const protocol::TCommand& command) {
        BeforeInput();
        pointer(command);
      },
      always);
}

void TInputService::TypeUnicodeText(const std::u16string& text, std::size_t characters) {
  BeforeInput();
  try {
    TextAndPointer.TypeUnicodeText(text);
  } catch (const platform::EFrameworkError&) {
    events_.CommandDid(service::Activity::ClipboardBusy, "");
    throw;  // whoever carries the command out ends it there
  }
  events_.CommandDid(service::Activity::Typed, std::to_string(characters));
}

void TInputService::TypeText(std::string_view text) {
  BeforeInput();
  try {
    TextAndPointer.TypeText(text);
  } catch (const platform::EFrameworkError&) {
    events_.CommandDid(service::Activity::ClipboardBusy, "");
    throw;  // the dispatcher ends the command as before
  }
  events_.CommandDid(service::Activity::Typed, std::to_string(text.size()));
}

}  // namespace input
