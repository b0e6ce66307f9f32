#pragma once
// What every capability of the host offers the shell that composes them: its
// rows of the tray menu and the remote commands it carries out.
#include <vector>

#include "service/command_router.h"
#include "service/menu_item.h"

namespace service {

class ICapability {
 public:
  virtual ~ICapability() = default;
  // Its rows, in the order the menu shows them.
  virtual std::vector<TMenuItem*> MenuRows() { return {}; }
  // Just before the menu opens: captions and marks drawn from the state now.
  virtual void BeforeMenu() {}
  // Registers a handler for each alternative of a remote command it owns.
  virtual void RegisterCommands(TCommandRouter&) {}
};

}  // namespace service
