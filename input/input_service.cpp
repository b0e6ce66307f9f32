#include "input/input_service.h"

#include "platform/framework_error.h"
#include "service/utf8.h"

namespace input {

using platform::PointerAction;

TInputService::TInputService(TInputPlatform platform, service::IHostEvents& events,
                             TInputTargetCheck::Warn warn)
    : Keyboard(platform.input),
      TextAndPointer(platform.input, platform.clipboard, Keyboard),
      InputTarget(
          platform.windows, [&system = platform.system] { return system.TickCountMs(); },
          std::move(warn)),
      events_(events) {
  Keyboard.OnNotTaken = [this] { events_.CommandDid(service::Activity::InputNotTaken, ""); };
}

void TInputService::Start() {
  Keyboard.InitInputRecords();
  TextAndPointer.CursorPos = {0, 0};
}

void TInputService::RegisterCommands(service::TCommandRouter& commands) {
  using namespace service;
  commands.Register<KeyPress>(*this);
  commands.Register<PointerMove>(*this);
  commands.Register<ButtonClick>(*this);
  commands.Register<ButtonPress>(*this);
  commands.Register<WheelTurn>(*this);
  commands.Register<TextToType>(*this);
}

void TInputService::CarryOut(const service::RemoteCommand& command) {
  using namespace service;
  const Ask& ask = command.ask;
  if (const auto* text = std::get_if<TextToType>(&ask)) return TypeText(*text);
  if (const auto* press = std::get_if<ButtonPress>(&ask)) return Press(*press, command.from);
  BeforeInput();
  if (const auto* key = std::get_if<KeyPress>(&ask)) {
    key->second == 0 ? Keyboard.SendKey(key->first) : Keyboard.SendChord2(key->first, key->second);
  } else if (const auto* move = std::get_if<PointerMove>(&ask)) {
    TextAndPointer.MovePointer(move->dx, move->dy);
  } else if (const auto* click = std::get_if<ButtonClick>(&ask)) {
    click->right ? TextAndPointer.RightClick() : TextAndPointer.LeftClick();
  } else if (const auto* wheel = std::get_if<WheelTurn>(&ask)) {
    Keyboard.SendMouse(PointerAction::Wheel, wheel->notches * platform::kWheelDelta);
  }
}

void TInputService::Press(const service::ButtonPress& press, const service::Origin& from) {
  BeforeInput();
  const PointerAction down = press.right ? PointerAction::RightDown : PointerAction::LeftDown;
  const PointerAction up = press.right ? PointerAction::RightUp : PointerAction::LeftUp;
  Keyboard.SendMouse(press.down ? down : up, 0);
  const auto held = std::make_tuple(from.device.address, from.device.hardware, press.right);
  if (press.down) {
    held_.insert(held);
  } else {
    held_.erase(held);
  }
}

void TInputService::DeviceDisconnected(const service::Origin& who) {
  for (bool right : {false, true}) {
    if (held_.erase({who.device.address, who.device.hardware, right}) == 0) continue;
    Keyboard.SendMouse(right ? PointerAction::RightUp : PointerAction::LeftUp, 0);
  }
}

void TInputService::TypeText(const service::TextToType& text) {
  BeforeInput();
  std::size_t characters = text.text.size();
  try {
    if (text.utf8) {
      TextAndPointer.TypeUnicodeText(service::Utf16Of(text.text, characters));
    } else {
      TextAndPointer.TypeText(text.text);
    }
  } catch (const platform::EFrameworkError&) {
    events_.CommandDid(service::Activity::ClipboardBusy, "");
    throw;  // whoever carries the command out ends it there
  }
  events_.CommandDid(service::Activity::Typed, std::to_string(characters));
}

}  // namespace input
