#pragma once
// What happens in the host, told once by the capability where it happens to
// every capability that follows it (the activity log, the in-use icon, the
// connection help, the question about a new device).
#include <cstdint>
#include <string>
#include <vector>

namespace service {

// What the activity log can say.
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
  InputNotTaken,  // Windows took less of the keys or pointer than it was given
  AddressWatchFailed,
  BrowserPaired,
  BrowserAtTwoAddresses,  // detail: the other address it is connected from
  BrowsersOnlyOn,         // "Only paired browsers may control this PC" went on
  BrowsersOnlyOff,
  BrowserNotListening,  // detail: the system's words
  ResumedFromSleep,
  PortsGivenUp,       // this session left the PC's screen
  PortsTaken,         // after waiting for them
  PortsNotTaken,      // detail: the listener's error
  PortsNameSquatted,  // another program holds the ports' name, but the ports were free
};

// Why a datagram was not served.
enum class Refusal {
  FarSender,
  RefusedDevice,
  Paused,
  UnknownHardware,        // a new device neither in the neighbour table nor connected
  AskingStopped,          // a new device while "Stop asking for 10 minutes" holds
  BrowserProofFailed,     // a browser's key did not prove, or a message broke the seal
  BrowserUnknown,         // a browser this PC does not know, or forgot
  BrowserRequestRefused,  // another site's Host or Origin, a header too large
  BrowserTooMany,         // too many connections, or failed proofs, from one address
  PairingCodeUsedAgain,   // a second browser with a pairing code a browser claimed
  BrowsersOnly,           // the app's datagram while only paired browsers may drive
  Locked,                 // input while this session's lock screen is up
};

// What became of a device heard from.
enum class Heard {
  Served,
  Waiting,
  Denied,
  Paused,
  Far,
  NotAsked,
  AskingStopped,
  Locked,
  BrowsersOnly,
};

// Whether this host serves the remote's ports, and why not.
enum class Serving {
  Here,
  OtherUser,     // another user's session has the screen, and their host the ports
  NotAtConsole,  // this session is not at the screen, and no host serves
  Failed,        // the ports could not be had (another program holds one)
};

// How a browser that has not proved an id yet is written where a hardware
// address would stand: it is known only by its address.
inline constexpr const char* kUnprovedBrowser = "browser";

// Who an event is about: address 0 and no hardware address is the PC itself;
// address 0 with a hardware address (or an allow-list name) is a device not
// connected now. An empty hardware address is looked up by whoever needs it.
struct Device {
  std::uint32_t address = 0;
  std::string hardware;
};

enum class Remote { App, Browser };

// Who sent a command, or whose connection came or went. An app is known by
// its address (its hardware address looked up by whoever needs it); a
// browser by its id, written where a hardware address would stand.
struct Origin {
  Remote remote = Remote::App;
  Device device;

  static Origin App(std::uint32_t address) { return {Remote::App, {address, ""}}; }
  static Origin Browser(std::uint32_t address, const std::string& id) {
    return {Remote::Browser, {address, "browser " + id}};
  }
  bool operator==(const Origin& other) const {
    return remote == other.remote && device.address == other.device.address &&
           device.hardware == other.device.hardware;
  }
};

// Each subscriber overrides what it follows. Refused, DeviceHeard and
// HappenedOnListener come from the listener thread as well; everything else
// from the main thread.
class IHostEvents {
 public:
  virtual ~IHostEvents() = default;
  // Something the person at the PC may want to read later.
  virtual void Happened(const Device& /*device*/, Activity /*what*/,
                        const std::string& /*detail*/) {}
  // The same from the listener thread, where the neighbour table is not read:
  // the device is written as it is given.
  virtual void HappenedOnListener(const Device& /*device*/, Activity /*what*/) {}
  virtual void Refused(const Device& /*device*/, Refusal /*why*/) {}
  virtual void DeviceHeard(const Device& /*device*/, Heard /*what*/) {}
  // A served device's command is carried out now.
  virtual void CommandStarting(const Device& /*device*/) {}
  // What the command being carried out did (a program started, text typed).
  virtual void CommandDid(Activity /*what*/, const std::string& /*detail*/) {}
  // A connection that holds, and its end: the app's presence connection, or
  // a browser that proved its key.
  virtual void DeviceConnected(const Origin& /*who*/) {}
  virtual void DeviceDisconnected(const Origin& /*who*/) {}
  virtual void PauseChanged(bool /*paused*/) {}
  // The user refused a device (Deny, a closed question, no answer): what it
  // holds is let go.
  virtual void DeviceRefused(std::uint32_t /*address*/) {}
  // The PC woke from sleep: what the system may have changed meanwhile
  // (adapters, connections) is looked at again.
  virtual void WokeFromSleep() {}
  // This session's lock screen came up (true) or went (false).
  virtual void LockChanged(bool /*locked*/) {}
  virtual void ServingChanged(Serving /*serving*/) {}
  // "Only paired browsers may control this PC" went on (true) or off: while
  // on, the app's wire is closed.
  virtual void BrowsersOnlyChanged(bool /*only*/) {}
};

// Tells every event to the subscribers in the order they subscribed. The
// subscribers are all there before any event: the list is never changed
// while another thread tells an event.
class THostEvents final : public IHostEvents {
 public:
  void Subscribe(IHostEvents& subscriber) { subscribers_.push_back(&subscriber); }

  void Happened(const Device& device, Activity what, const std::string& detail) override;
  void HappenedOnListener(const Device& device, Activity what) override;
  void Refused(const Device& device, Refusal why) override;
  void DeviceHeard(const Device& device, Heard what) override;
  void CommandStarting(const Device& device) override;
  void CommandDid(Activity what, const std::string& detail) override;
  void DeviceConnected(const Origin& who) override;
  void DeviceDisconnected(const Origin& who) override;
  void PauseChanged(bool paused) override;
  void DeviceRefused(std::uint32_t address) override;
  void WokeFromSleep() override;
  void LockChanged(bool locked) override;
  void ServingChanged(Serving serving) override;
  void BrowsersOnlyChanged(bool only) override;

 private:
  std::vector<IHostEvents*> subscribers_;
};

}  // namespace service
