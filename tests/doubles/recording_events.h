#pragma once
// A subscriber of the host's events that keeps what each capability told.
#include <string>
#include <vector>

#include "service/host_events.h"

namespace doubles {

struct RecordingEvents final : service::IHostEvents {
  struct Did {
    service::Activity what;
    std::string detail;
    bool operator==(const Did&) const = default;
  };
  std::vector<Did> did;  // what the commands did
  std::vector<bool> pauses;
  std::vector<service::Origin> connected;
  std::vector<service::Origin> disconnected;
  std::vector<service::Activity> happened;
  std::vector<std::uint32_t> refused;
  std::vector<service::Refusal> refusals;
  std::vector<std::string> details;  // of what happened, in order

  void CommandDid(service::Activity what, const std::string& detail) override {
    did.push_back({what, detail});
  }
  void Happened(const service::Device&, service::Activity what,
                const std::string& detail) override {
    happened.push_back(what);
    details.push_back(detail);
  }
  void Refused(const service::Device&, service::Refusal why) override { refusals.push_back(why); }
  void PauseChanged(bool paused) override { pauses.push_back(paused); }
  void DeviceRefused(std::uint32_t address) override { refused.push_back(address); }
  void DeviceConnected(const service::Origin& who) override { connected.push_back(who); }
  void DeviceDisconnected(const service::Origin& who) override { disconnected.push_back(who); }
};

}  // namespace doubles
