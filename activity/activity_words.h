#pragma once
// What the activity log says for each thing that happens.
#include <string>

namespace activity {

enum class Activity {
  HostStarted,
  HostStopped,
  Connected,
  Disconnected,
  Asked,
  Allowed,
  Denied,
  TimedOut,
  QuestionClosed,
  Forgotten,
  Paused,
  Resumed,
  Launched,       // detail: the program's name in its table
  ClosedProgram,  // detail: the program's name in its table
  Locating,       // detail: the program's name in its table
  LaunchFailed,   // detail: the program's name in its table
  Typed,          // detail: how many characters; never the text
  NameNotSent,
  ReplyNotSent,
  ClipboardBusy,
  AddressWatchFailed,
};

enum class Refusal { FarSender, RefusedDevice, Paused };

// The words of a line; `detail` fills the "%s" of those that have one.
std::string ActivityWords(Activity what, const std::string& detail);
std::string RefusalWords(Refusal why);

}  // namespace activity
