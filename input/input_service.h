#pragma once
// Keys, text and the pointer as one capability: the input records and their
// send operations, text through the clipboard, the pointer, and the check of
// the window they go to. It carries out a remote's keys, text and pointer,
// and lets go of the buttons a device held down when it leaves; the media
// pages press their keys through it.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

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

class TInputService final : public service::ICapability,
                            public service::ICommandOwner,
                            public service::IHostEvents {
 public:
  // `warn` tells the person at the PC that input cannot reach a window.
  TInputService(TInputPlatform platform, service::IHostEvents& events,
                TInputTargetCheck::Warn warn);

  // Its part of the start-up: the records as the form's creation leaves them.
  void Start();
  void RegisterCommands(service::TCommandRouter& commands) override;
  // Everything it carries out is input, which the lock screen would drop.
  bool SendsInput(const service::Ask&) const override { return true; }
  void CarryOut(const service::RemoteCommand& command) override;
  // A drag in progress ends where the pointer is: no button stays down.
  void DeviceDisconnected(const service::Origin& who) override;
  // Before keys, text or the pointer: they go to the window in front.
  void BeforeInput() { InputTarget.BeforeInput(); }
  // The activity log gets the text's length, never the text.
  void TypeText(const service::TextToType& text);

  TInputSender Keyboard;
  TTextAndPointer TextAndPointer;
  TInputTargetCheck InputTarget;

 private:
  void Press(const service::ButtonPress& press, const service::Origin& from);

  service::IHostEvents& events_;
  // The buttons each device holds down: its address, its name, the right one.
  std::set<std::tuple<std::uint32_t, std::string, bool>> held_;
};

}  // namespace input
