#include "shell/form1.h"

#include "protocol/command_dispatch.h"

namespace shell {

TForm1::TForm1(platform::TApplication& application, TPlatform& platform)
    : IdUDPServer1(platform.sockets, [&application] { application.WakeMainThread(); }),
      application_(application),
      platform_(platform),
      source_filter_([&platform] { return platform.sockets.Interfaces(); }),
      clipboard_(platform.clipboard) {
  application_.AttachMainForm(
      {[this] { FormActivate(); }, [this] { IdUDPServer1.Handover().RunPending(); }});
  // The components as the form resource sets them up; activation is the last
  // step of loading, and its errors leave the constructor.
  IdUDPServer1.DefaultPort = kPort;
  IdUDPServer1.BufferSize = 8192;
  IdUDPServer1.BroadcastEnabled = false;
  IdUDPServer1.OnUDPRead = [this](protocol::TIdUDPServer& sender, protocol::TStream& data,
                                  protocol::TIdSocketHandle& binding) {
    IdUDPServer1UDPRead(sender, data, binding);
  };
  IdUDPServer1.SetActive(true);

  application_.Minimize();
  InitInputRecords();
  LaserWnd = 0;
  IsWmp9or10 = false;
}

TForm1::~TForm1() {
  StopLaserCompanion();
  // The components go last, as the inherited destruction takes them down.
  IdUDPServer1.SetActive(false);
}

void TForm1::FormActivate() { application_.HideApplicationWindow(); }

void TForm1::IdUDPServer1UDPRead(protocol::TIdUDPServer& sender, protocol::TStream& data,
                                 protocol::TIdSocketHandle& binding) {
  // Only the local network may drive this computer or learn that it is here.
  if (!source_filter_.Accepts(binding.PeerAddress)) return;
  protocol::HandleDatagram(
      data,
      [&](const std::uint8_t* reply, std::size_t size) {
        sender.Send(binding.PeerIP, binding.PeerPort, reply, size);
      },
      *this);
}

}  // namespace shell
