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
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "access/allow_list.h"
#include "access/forgetting_set.h"

namespace access_policy {

enum class ApprovalDecision {
  CarryOut,  // allowed (or asking is off, or loopback)
  AskUser,   // show this device's question now; this command is dropped
  Drop,      // waiting for its question or its answer, refused, or no room in the line
};

enum class ApprovalAnswer { Allow, Deny, Closed, TimedOut };

class TDeviceApproval {
 public:
  static constexpr unsigned kAnswerTimeoutMs = 2 * 60 * 1000;
  // "Allow" takes no click in the question's first second: a question that
  // pops up under the pointer cannot catch a click meant for something else.
  static constexpr unsigned kAllowArmedAfterMs = 1000;
  static constexpr std::size_t kWaitingLine = 4;
  static constexpr std::size_t kRememberedRefusals = 1024;
  // How many addresses are remembered as allowed at once, and for how long
  // before the neighbour table is asked again which device each one is.
  static constexpr std::size_t kTrustedAddresses = 1024;
  static constexpr std::uint64_t kRecheckAfterMs = 30 * 1000;

  // `hardware_address`: the neighbour table's entry for an address, "" for
  // none; `now_ms`: a clock that never goes back.
  TDeviceApproval(TAllowList& allow_list,
                  std::function<std::string(std::uint32_t)> hardware_address,
                  std::function<std::uint64_t()> now_ms);

  bool Ask = true;  // "Ask before a new device takes control"

  ApprovalDecision Decide(std::uint32_t address);
  // The user's answer to the question on screen. Returns the address of the
  // device to ask about next, if one is waiting.
  std::optional<std::uint32_t> Answer(ApprovalAnswer answer);
  // The name a device goes by: its hardware address, else its IPv4 address.
  std::string DeviceKey(std::uint32_t address);
  // The words the question shows for a device: "192.168.1.23 (aa-bb-...)".
  std::string DeviceText(std::uint32_t address);
  // Takes a device off the allow-list: it will have to be allowed again.
  void Forget(const std::string& device);
  // Denied, or not answered in time, at whatever address it uses now.
  bool Refused(std::uint32_t address);
  bool Asking() const { return asking_.has_value(); }
  std::size_t Waiting() const { return line_.size(); }
  std::size_t RefusalsKept() const { return refused_.Size(); }

 private:
  struct Device {
    std::string key;
    std::uint32_t address;
  };
  bool Allowed(const std::string& key, std::uint32_t address);
  bool Waits(const std::string& key) const;
  void Trust(std::uint32_t address);
  std::optional<std::uint32_t> NextToAsk();

  TAllowList& allow_list_;
  std::function<std::string(std::uint32_t)> hardware_address_;
  std::function<std::uint64_t()> now_ms_;
  std::map<std::uint32_t, std::uint64_t> trusted_at_;  // when an address was last found allowed
  std::optional<Device> asking_;                       // the question on screen
  std::deque<Device> line_;                            // waiting for their question
  TForgettingSet<std::string> refused_{kRememberedRefusals};
};

}  // namespace access_policy
