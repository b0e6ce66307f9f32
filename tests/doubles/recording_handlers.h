#pragma once
// Group handlers that write down each call as a short line of text.
#include <string>
#include <vector>

#include "protocol/command_handlers.h"

namespace doubles {

class RecordingHandlers : public protocol::TCommandHandlers {
 public:
  std::vector<std::string> calls;

  void MediaPageButton(std::uint8_t page, std::uint8_t code) override {
    calls.push_back("page " + std::to_string(page) + " code " + std::to_string(code));
  }
  void TypeText(std::string_view text) override {
    calls.push_back("type \"" + std::string(text) + "\"");
  }
  void MovePointer(std::int8_t dx, std::int8_t dy) override {
    calls.push_back("move " + std::to_string(dx) + " " + std::to_string(dy));
  }
  void LeftClick() override { calls.push_back("left click"); }
  void RightClick() override { calls.push_back("right click"); }
  void TurnWheel(bool toward_user) override {
    calls.push_back(toward_user ? "wheel toward" : "wheel away");
  }
  void LaunchUtility(std::uint8_t selector) override {
    calls.push_back("launch utility " + std::to_string(selector));
  }
  void CloseUtility(std::uint8_t selector) override {
    calls.push_back("close utility " + std::to_string(selector));
  }
};

}  // namespace doubles
