#pragma once
// What every capability of the host offers the shell that composes them: its
// rows of the tray menu and the command groups it carries out.
#include <vector>

#include "protocol/command_dispatch.h"
#include "service/menu_item.h"

namespace service {

class ICapability {
 public:
  virtual ~ICapability() = default;
  // Its rows, in the order the menu shows them.
  virtual std::vector<TMenuItem*> MenuRows() { return {}; }
  // Just before the menu opens: captions and marks drawn from the state now.
  virtual void BeforeMenu() {}
  // Registers a handler for each command group it owns.
  virtual void RegisterCommands(protocol::TCommandDispatcher&) {}
};

}  // namespace service
