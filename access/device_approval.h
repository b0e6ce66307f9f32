#pragma once
// Whether a device may drive this PC. While asking is on, a nearby device
// that is neither loopback nor on the allow-list gets no command carried
// out: its first command or presence connection asks the user, once, and
// until the answer its datagrams are dropped, not queued. "Allow" puts it
// on the allow-list; a refusal, a closed question or no answer in time
// ignore it until the host restarts.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "access/allow_list.h"

namespace access_policy {

enum class ApprovalDecision {
  CarryOut,  // allowed (or asking is off, or loopback)
  AskUser,   // a new device: ask now; this command is dropped
  Drop,      // asked already and waiting, or refused
};

enum class ApprovalAnswer { Allow, Deny, Closed, TimedOut };

class TDeviceApproval {
 public:
  static constexpr unsigned kAnswerTimeoutMs = 2 * 60 * 1000;

  // How long an allowed address is trusted before the neighbour table is
  // asked again which device it is.
  static constexpr std::uint64_t kRecheckAfterMs = 30 * 1000;

  // `hardware_address`: the neighbour table's entry for an address, "" for
  // none; `now_ms`: a clock that never goes back.
  TDeviceApproval(TAllowList& allow_list,
                  std::function<std::string(std::uint32_t)> hardware_address,
                  std::function<std::uint64_t()> now_ms);

  bool Ask = true;  // "Ask before a new device takes control"

  ApprovalDecision Decide(std::uint32_t address);
  void Answer(std::uint32_t address, ApprovalAnswer answer);
  // The allow-list entry a device goes by: its hardware address, else its IPv4 address.
  std::string DeviceKey(std::uint32_t address);
  // The words the question shows for a device: "192.168.1.23 (aa-bb-...)".
  std::string DeviceText(std::uint32_t address);
  // Takes a device off the allow-list: it will have to be allowed again.
  void Forget(const std::string& device);
  bool Pending(std::uint32_t address) const { return pending_.count(address) != 0; }
  // Denied, or not answered in time: ignored until the host restarts.
  bool Refused(std::uint32_t address) const { return refused_.count(address) != 0; }

 private:
  TAllowList& allow_list_;
  std::function<std::string(std::uint32_t)> hardware_address_;
  std::function<std::uint64_t()> now_ms_;
  std::map<std::uint32_t, std::uint64_t> allowed_at_;  // when an address was last found allowed
  std::set<std::uint32_t> pending_;
  std::set<std::uint32_t> refused_;
  std::map<std::uint32_t, std::string> keys_;  // the key each address was asked or allowed under
};

}  // namespace access_policy
