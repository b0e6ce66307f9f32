// The presence channel: a device connecting on TCP is told the computer's name
// and shown in a balloon; leaving shows another.
#include "shell/form1.h"

namespace shell {

// Only nearby devices not refused get here, at most 16 at a time and 4 from
// one address (the server closed the others).
void TForm1::ServerSocket1ClientConnect(TServerSocket& sender, TCustomWinSocket& socket) {
  ShowPresenceBalloon(true, socket.RemoteAddress());
  NoteActivity(socket.RemoteIp(), activity::Activity::Connected);
  platform::SocketError error;
  // A send that fails is a connection that broke: the device left again.
  if (!socket.SendText(ComputerName, error)) {
    NoteActivity(socket.RemoteIp(), activity::Activity::NameNotSent);
    sender.Disconnect(socket);
    return;
  }
  // Counted only once it holds: a connection that broke at once is gone.
  Activity.Connected(socket.RemoteIp(), platform_.system.TickCountMs());
  Names.Request(socket.RemoteIp());
  RefreshTrayLook();
  // A new device that connects is asked about now, before its first command;
  // while paused nothing is asked: no command would be carried out anyway.
  if (socket.RemoteIp() != 0 && !Paused) MayCarryOut(socket.RemoteIp());
}

void TForm1::ServerSocket1ClientDisconnect(TServerSocket&, TCustomWinSocket& socket) {
  ShowPresenceBalloon(false, socket.RemoteAddress());
  NoteActivity(socket.RemoteIp(), activity::Activity::Disconnected);
  Activity.Disconnected(socket.RemoteIp());
  RefreshTrayLook();
}

// What the device sends is never read: it stays in the connection's buffer.
void TForm1::ServerSocket1ClientRead(TServerSocket&, TCustomWinSocket&) {}

}  // namespace shell
