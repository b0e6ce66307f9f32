#include "activity/activity_words.h"

namespace activity {
namespace {

struct Words {
  Activity what;
  const char* text;  // "%s": where the detail goes
};

constexpr Words kWords[] = {
    {Activity::HostStarted, "Mirovanta 2 started"},
    {Activity::HostStopped, "Mirovanta 2 stopped"},
    {Activity::Connected, "connected"},
    {Activity::Disconnected, "disconnected"},
    {Activity::Asked, "asked whether it may control this PC"},
    {Activity::Allowed, "allowed"},
    {Activity::Denied, "denied"},
    {Activity::TimedOut, "not answered in time: ignored until Mirovanta 2 restarts"},
    {Activity::QuestionClosed, "question closed: ignored until Mirovanta 2 restarts"},
    {Activity::Forgotten, "forgotten: it will be asked about again"},
    {Activity::Paused, "remote control paused"},
    {Activity::Resumed, "remote control resumed"},
    {Activity::Launched, "started %s"},
    {Activity::ClosedProgram, "closed %s"},
    {Activity::Locating, "asked the user where %s is"},
    {Activity::LaunchFailed, "could not start %s"},
    {Activity::Typed, "typed %s characters"},
    {Activity::NameNotSent, "the computer's name could not be sent to it"},
    {Activity::ReplyNotSent, "the answer to its search could not be sent"},
    {Activity::ClipboardBusy, "text not typed: another program kept the clipboard busy"},
    {Activity::AddressWatchFailed,
     "Windows does not report address changes: the adapters are read every 30 s"},
};

struct RefusalText {
  Refusal why;
  const char* text;
};

constexpr RefusalText kRefusals[] = {
    {Refusal::FarSender, "refused: not on this PC's network"},
    {Refusal::RefusedDevice, "refused: this device was denied"},
    {Refusal::Paused, "dropped: remote control is paused"},
};

}  // namespace

std::string ActivityWords(Activity what, const std::string& detail) {
  for (const Words& words : kWords) {
    if (words.what != what) continue;
    std::string text = words.text;
    if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, detail);
    return text;
  }
  return "";
}

std::string RefusalWords(Refusal why) {
  for (const RefusalText& refusal : kRefusals) {
    if (refusal.why == why) return refusal.text;
  }
  return "";
}

}  // namespace activity
