#pragma once
// Whether a device may drive this PC. While asking is on, a nearby device
// that is neither loopback nor on the allow-list gets no command carried
// out: its first command or presence connection asks the user, and until
// the answer its datagrams are dropped, not queued. "Allow" puts it on the
// allow-list; a refusal, a closed question or no answer in time ignore it
// until the host restarts.
//
// A device is its hardware address when the neighbour table knows it, else
// its IPv4 address; every decision is kept by device, so a phone keeps its
// standing when its IPv4 address changes. One question is on screen at a
// time; at most four devices wait for theirs, further new devices are not
// recorded at all and are asked about at a later command.
//
// Only a device that showed itself is asked about: the neighbour table knows
// its hardware address, or it completed a connection to the presence port.
// Anyone can send datagrams from made-up addresses; those neither fill the
// line nor reach the screen. A question comes at most every 5 s and never
// sooner than 2 s after the last answer, so that a second click meant for
// the last one finds nothing to allow.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "access/allow_list.h"
#include "access/forgetting_set.h"
#include "platform/system.h"

namespace access_policy {

enum class ApprovalDecision {
  CarryOut,       // allowed (or asking is off, or loopback)
  AskUser,        // show this device's question now; this command is dropped
  Drop,           // waiting for its question or its answer, refused, or no room in the line
  NotAsked,       // new, and not shown itself: no hardware address, no connection
  AskingStopped,  // new, while the user stopped asking for a while
};

enum class ApprovalAnswer { Allow, Deny, DenyAllWaiting, Closed, TimedOut };

// The question on screen, and where it stands in a run of questions.
struct AskedDevice {
  std::string key;
  std::uint32_t address = 0;
  platform::LocalTime first_sent;
  std::size_t number = 1;  // 2 and on: another device soon after an answer
  std::size_t of = 1;      // with those waiting when it was asked
};

class TDeviceApproval {
 public:
  static constexpr unsigned kAnswerTimeoutMs = 2 * 60 * 1000;
  // "Allow" takes no click in the question's first 1.5 s: a question that
  // pops up cannot catch a click meant for something else.
  static constexpr unsigned kAllowArmedAfterMs = 1500;
  static constexpr std::uint64_t kAfterAnswerMs = 2000;
  static constexpr std::uint64_t kBetweenQuestionsMs = 5000;
  // A question within this time of the last answer is "another new device".
  static constexpr std::uint64_t kRunOfQuestionsMs = 30 * 1000;
  static constexpr std::uint64_t kStopAskingMs = 10 * 60 * 1000;
  static constexpr std::size_t kShownAddresses = 256;
  static constexpr std::size_t kWaitingLine = 4;
  static constexpr std::size_t kRememberedRefusals = 1024;
  // How many addresses are remembered as allowed at once, and for how long
  // before the neighbour table is asked again which device each one is.
  static constexpr std::size_t kTrustedAddresses = 1024;
  static constexpr std::uint64_t kRecheckAfterMs = 30 * 1000;

  // `hardware_address`: the neighbour table's entry for an address, "" for
  // none; `now_ms`: a clock that never goes back; `local_now`: the wall clock.
  TDeviceApproval(TAllowList& allow_list,
                  std::function<std::string(std::uint32_t)> hardware_address,
                  std::function<std::uint64_t()> now_ms,
                  std::function<platform::LocalTime()> local_now);

  bool Ask = true;  // "Ask before a new device takes control"

  ApprovalDecision Decide(std::uint32_t address);
  // A connection to the presence port from this address completed: no one
  // can do that from an address that is not theirs.
  void ShowedItself(std::uint32_t address);
  // The user's answer to the question on screen. Returns the addresses it
  // refused: the one asked about unless allowed, and for DenyAllWaiting
  // those waiting too.
  std::vector<std::uint32_t> Answer(ApprovalAnswer answer);
  // How long until a waiting device may be asked about; nullopt when none
  // waits or a question is open.
  std::optional<std::uint64_t> NextQuestionInMs();
  // The next waiting device's question, once it is due.
  std::optional<std::uint32_t> TakeNext();
  const std::optional<AskedDevice>& Asked() const { return asking_; }
  // "Stop asking for 10 minutes": the question on screen and those waiting
  // are let go unanswered; new devices are not asked until the time is up
  // or asking is resumed.
  void StopAsking();
  void ResumeAsking() { stop_until_ = 0; }
  bool AskingStopped();
  // The name a device goes by: its hardware address, else its IPv4 address.
  std::string DeviceKey(std::uint32_t address);
  // The words the question shows for a device: "192.168.1.23 (aa-bb-...)".
  std::string DeviceText(std::uint32_t address);
  // Takes a device off the allow-list: it will have to be allowed again.
  void Forget(const std::string& device);
  // Denied, or not answered in time, at whatever address it uses now.
  bool Refused(std::uint32_t address);
  bool Asking() const { return asking_.has_value(); }
  std::size_t AddressesShown() const { return shown_.Size(); }
  std::size_t Waiting() const { return line_.size(); }
  std::size_t RefusalsKept() const { return refused_.Size(); }

 private:
  struct Device {
    std::string key;
    std::uint32_t address;
    platform::LocalTime first_sent;
  };
  bool Allowed(const std::string& key, std::uint32_t address);
  bool Waits(const std::string& key) const;
  void Trust(std::uint32_t address);
  bool Due(std::uint64_t now) const;
  void StartAsking(const Device& device, std::uint64_t now);
  void Refuse(const std::string& key, std::uint32_t address);

  TAllowList& allow_list_;
  std::function<std::string(std::uint32_t)> hardware_address_;
  std::function<std::uint64_t()> now_ms_;
  std::function<platform::LocalTime()> local_now_;
  std::map<std::uint32_t, std::uint64_t> trusted_at_;  // when an address was last found allowed
  std::optional<AskedDevice> asking_;                  // the question on screen
  std::deque<Device> line_;                            // waiting for their question
  TForgettingSet<std::string> refused_{kRememberedRefusals};
  TForgettingSet<std::uint32_t> shown_{kShownAddresses};  // addresses that connected
  std::optional<std::uint64_t> asked_at_;                 // when the last question opened
  std::optional<std::uint64_t> answered_at_;              // when the last answer came
  std::size_t run_ = 0;                                   // questions in this run of them
  std::uint64_t stop_until_ = 0;
};

}  // namespace access_policy
