// The presence channel: a device connecting on TCP is told the computer's name
// and shown in a balloon; leaving shows another.
#include "shell/form1.h"

namespace shell {

void TForm1::ServerSocket1ClientConnect(TServerSocket& sender, TCustomWinSocket& socket) {
  ShowBalloon("Device Connected", "Device IP : " + socket.RemoteAddress());
  int error = 0;
  // A send that fails is a connection that broke: the device left again.
  if (!socket.SendText(ComputerName, error)) sender.Disconnect(socket);
}

void TForm1::ServerSocket1ClientDisconnect(TServerSocket&, TCustomWinSocket& socket) {
  ShowBalloon("Device Disconnected", "Device IP : " + socket.RemoteAddress());
}

// What the device sends is never read: it stays in the connection's buffer.
void TForm1::ServerSocket1ClientRead(TServerSocket&, TCustomWinSocket&) {}

}  // namespace shell
