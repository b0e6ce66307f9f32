#include "service/command_router.h"

namespace service {

bool TCommandRouter::SendsInput(const Ask& ask) const {
  const ICommandOwner* owner = owners_[ask.index()];
  return owner != nullptr && owner->SendsInput(ask);
}

void TCommandRouter::CarryOut(const RemoteCommand& command) {
  if (ICommandOwner* owner = owners_[command.ask.index()]) owner->CarryOut(command);
}

}  // namespace service
