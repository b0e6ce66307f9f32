#pragma once
// The hidden main form: the owner of every component and of all shared state;
// every event of the program ends in one of its handler methods.
#include <cstdint>
#include <string_view>

#include "platform/application.h"
#include "platform/sockets.h"
#include "protocol/command_handlers.h"
#include "protocol/source_filter.h"
#include "protocol/udp_server.h"

namespace shell {

// The platform services the form works through.
struct TPlatform {
  platform::ISockets& sockets;
};

class TForm1 : public protocol::TCommandHandlers {
 public:
  static constexpr int kPort = 1565;

  TForm1(platform::TApplication& application, TPlatform& platform);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Components.
  protocol::TIdUDPServer IdUDPServer1;

  // Event handlers.
  void IdUDPServer1UDPRead(protocol::TIdUDPServer& sender, protocol::TStream& data,
                           protocol::TIdSocketHandle& binding);
  void FormActivate();

  // Group handlers of the command datagram.
  void MediaPageButton(std::uint8_t page, std::uint8_t code) override;
  void TypeText(std::string_view text) override;
  void MovePointer(std::int8_t dx, std::int8_t dy) override;
  void LeftClick() override;
  void RightClick() override;
  void TurnWheel(bool toward_user) override;
  void LaunchUtility(std::uint8_t selector) override;
  void CloseUtility(std::uint8_t selector) override;

 private:
  platform::TApplication& application_;
  TPlatform& platform_;
  protocol::TLocalNetworkFilter source_filter_;
};

}  // namespace shell
