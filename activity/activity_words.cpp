#include "activity/activity_words.h"

namespace activity {
namespace {

constexpr LineSource kUser = LineSource::User;
constexpr LineSource kRemote = LineSource::Remote;
constexpr LineSource kByDetail = LineSource::RemoteByDetail;

struct Words {
  Activity what;
  LineSource source;
  const char* text;  // "%s": where the detail goes
};

constexpr Words kWords[] = {
    {Activity::HostStarted, kUser, "Mirovanta 2 started"},
    {Activity::HostStopped, kUser, "Mirovanta 2 stopped"},
    {Activity::Connected, kRemote, "connected"},
    {Activity::Disconnected, kRemote, "disconnected"},
    {Activity::Asked, kRemote, "asked whether it may control this PC"},
    {Activity::Allowed, kUser, "allowed"},
    {Activity::Denied, kUser, "denied"},
    {Activity::TimedOut, kUser, "not answered in time: ignored until Mirovanta 2 restarts"},
    {Activity::QuestionClosed, kUser, "question closed: ignored until Mirovanta 2 restarts"},
    {Activity::Forgotten, kUser, "forgotten: it will be asked about again"},
    {Activity::Paused, kUser, "remote control paused"},
    {Activity::Resumed, kUser, "remote control resumed"},
    {Activity::Launched, kByDetail, "started %s"},
    {Activity::ClosedProgram, kByDetail, "closed %s"},
    {Activity::Locating, kByDetail, "asked the user where %s is"},
    {Activity::LaunchFailed, kByDetail, "could not start %s"},
    {Activity::Typed, kRemote, "typed %s characters"},
    {Activity::NameNotSent, kRemote, "the computer's name could not be sent to it"},
    {Activity::ReplyNotSent, kRemote, "the answer to its search could not be sent"},
    {Activity::ClipboardBusy, kRemote, "text not typed: another program kept the clipboard busy"},
    {Activity::InputNotTaken, kRemote,
     "keys or pointer not taken by Windows: another program may be blocking input"},
    {Activity::AddressWatchFailed, kUser,
     "Windows does not report address changes: the adapters are read every 30 s"},
    {Activity::BrowserPaired, kUser,
     "browser paired: it may control this PC until it is forgotten"},
    {Activity::BrowserAtTwoAddresses, kRemote,
     "connected from a second address (%s) at the same time"},
    {Activity::BrowsersOnlyOn, kUser,
     "only paired browsers may control this PC: the app's datagrams are dropped"},
    {Activity::BrowsersOnlyOff, kUser, "the app may control this PC again"},
    {Activity::BrowserNotListening, kUser, "the browser remote cannot listen on port 1566: %s"},
    {Activity::ResumedFromSleep, kUser, "resumed from sleep"},
    {Activity::PortsGivenUp, kUser,
     "this user's session left the PC's screen: the remote's ports are given up"},
    {Activity::PortsTaken, kUser, "this user has this PC's screen: Mirovanta 2 answers the remote"},
    {Activity::PortsNotTaken, kUser, "the remote's port could not be taken: %s"},
    {Activity::PortsNameSquatted, kUser,
     "the name of the remote's ports is held by another program: Mirovanta 2 answers the remote "
     "all the same"},
};

struct RefusalText {
  Refusal why;
  const char* text;
};

constexpr RefusalText kRefusals[] = {
    {Refusal::FarSender, "refused: not on this PC's network"},
    {Refusal::RefusedDevice, "refused: this device was denied"},
    {Refusal::Paused, "dropped: remote control is paused"},
    {Refusal::UnknownHardware, "not asked: unknown hardware address"},
    {Refusal::AskingStopped, "not asked: asking is stopped for 10 minutes"},
    {Refusal::BrowserProofFailed, "refused: a browser that does not hold its key"},
    {Refusal::BrowserUnknown,
     "refused: a browser this PC does not know (not paired, or forgotten)"},
    {Refusal::BrowserRequestRefused,
     "refused: a request to the browser remote from another site, or too large"},
    {Refusal::BrowserTooMany, "refused: too many connections or failed proofs from this address"},
    {Refusal::Locked, "dropped: this PC is locked"},
    {Refusal::PairingCodeUsedAgain, "a pairing code was used again: refused"},
    {Refusal::BrowsersOnly, "dropped: only paired browsers may control this PC"},
};

}  // namespace

LineSource SourceOf(Activity what) {
  for (const Words& words : kWords) {
    if (words.what == what) return words.source;
  }
  return LineSource::Remote;
}

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
