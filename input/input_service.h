#pragma once
// Keys, text and the pointer as one capability: the input records and their
// send operations, text through the clipboard, the pointer, and the check of
// the window they go to. It carries out the text and pointer groups; the
// media pages press their keys through it.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "input/input_sender.h"
#include "input/input_target.h"
#include "input/text_and_pointer.h"
#include "platform/clipboard.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "service/capability.h"
#include "service/host_events.h"

namespace input {

struct TInputPlatform {
  platform::IInput& input;
  platform::IClipboard& clipboard;
  platform::IWindows& windows;
  platform::ISystem& system;
};

class TInputService final : public service::ICapability {
 public:
  // `warn` tells the person at the PC that input cannot reach a window.
  TInputService(TInputPlatform platform, service::IHostEvents& events,
                TInputTargetCheck::Warn warn);

  void RegisterCommands(protocol::TCommandDispatcher& commands) override;
  // Before keys, text or the pointer: they go to the window in front.
  void BeforeInput() { InputTarget.BeforeInput(); }
  // Group 2; the activity log gets the text's length, never the text.
  void TypeText(std::string_view text);
  // Text in UTF-16, from a browser; the log gets its length in characters.
  void TypeUnicodeText(const std::u16string& text, std::size_t characters);

  TInputSender Keyboard;
  TTextAndPointer TextAndPointer;
  TInputTargetCheck InputTarget;

 private:
  service::IHostEvents& events_;
};

}  // namespace input
