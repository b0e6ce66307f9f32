#pragma once
// Where the gate's commands go in a test: each one written down, none
// carried out. It says that keys, text, the pointer and page buttons send
// input, as the capabilities that own them do.
#include <functional>
#include <variant>
#include <vector>

#include "service/command_router.h"

namespace doubles {

struct RecordingSink final : service::ICommandSink {
  std::vector<service::RemoteCommand> commands;
  std::function<void()> on_carried;  // runs as each is carried out

  bool SendsInput(const service::Ask& ask) const override {
    return !std::holds_alternative<service::Nothing>(ask) &&
           !std::holds_alternative<service::UtilityAction>(ask) &&
           !std::holds_alternative<service::LaserSwitch>(ask);
  }
  void CarryOut(const service::RemoteCommand& command) override {
    commands.push_back(command);
    if (on_carried) on_carried();
  }
};

}  // namespace doubles
