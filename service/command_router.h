#pragma once
// The one way in: each capability registers as the owner of the
// alternatives of a remote command it carries out, and the gate hands every
// command it lets through to the router, whichever remote sent it.
#include <array>
#include <cstddef>
#include <variant>

#include "service/remote_command.h"

namespace service {

// Where the gate sends what it lets through.
class ICommandSink {
 public:
  virtual ~ICommandSink() = default;
  // Whether carrying the command out would send keys or pointer events,
  // which the lock screen would throw away.
  virtual bool SendsInput(const Ask& ask) const = 0;
  // An error raised by the owner is not caught here: it ends this command.
  virtual void CarryOut(const RemoteCommand& command) = 0;
};

// A capability that carries out some of the alternatives; it is handed only
// those it registered for.
using ICommandOwner = ICommandSink;

template <class Alternative>
constexpr std::size_t AskIndex() {
  return Ask(Alternative{}).index();
}

class TCommandRouter final : public ICommandSink {
 public:
  // `owner` carries out every command that asks for `Alternative`; a later
  // registration replaces one before.
  template <class Alternative>
  void Register(ICommandOwner& owner) {
    owners_[AskIndex<Alternative>()] = &owner;
  }

  bool SendsInput(const Ask& ask) const override;
  // An alternative that no capability registered for means nothing.
  void CarryOut(const RemoteCommand& command) override;

 private:
  std::array<ICommandOwner*, std::variant_size_v<Ask>> owners_{};
};

}  // namespace service
