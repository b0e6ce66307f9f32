#pragma once
// Group handlers that write down each call as a short line of text.
#include <string>
#include <vector>

#include "protocol/command_groups.h"

namespace doubles {

// Registered with a dispatcher for every group, through the host's own group
// handlers.
class RecordingHandlers {
 public:
  virtual ~RecordingHandlers() = default;
  std::vector<std::string> calls;

  void RegisterAll(protocol::TCommandDispatcher& dispatcher) {
    using namespace protocol::wire;
    dispatcher.Register(kGroupMediaPage, protocol::MediaPageCommands(*this));
    dispatcher.Register(kGroupText, protocol::TextCommands(*this));
    dispatcher.Register(kGroupPointer, protocol::PointerCommands(*this));
    dispatcher.Register(kGroupUtility, protocol::UtilityCommands(*this));
  }
  // Handles one datagram through a dispatcher with every group registered.
  void Handle(const std::uint8_t* data, std::size_t size) {
    protocol::TCommandDispatcher dispatcher;
    RegisterAll(dispatcher);
    protocol::TStream stream(data, size);
    dispatcher.HandleDatagram(stream);
  }

  void MediaPageButton(std::uint8_t page, std::uint8_t code) {
    calls.push_back("page " + std::to_string(page) + " code " + std::to_string(code));
  }
  void TypeText(std::string_view text) { calls.push_back("type \"" + std::string(text) + "\""); }
  void MovePointer(std::int8_t dx, std::int8_t dy) {
    calls.push_back("move " + std::to_string(dx) + " " + std::to_string(dy));
  }
  virtual void LeftClick() { calls.push_back("left click"); }
  void RightClick() { calls.push_back("right click"); }
  void TurnWheel(bool toward_user) { calls.push_back(toward_user ? "wheel toward" : "wheel away"); }
  void LaunchUtility(std::uint8_t selector) {
    calls.push_back("launch utility " + std::to_string(selector));
  }
  void CloseUtility(std::uint8_t selector) {
    calls.push_back("close utility " + std::to_string(selector));
  }
};

}  // namespace doubles
