// Test helper: closes a presence connection whose close notification is
// already queued, then looks whether that notification can still reach the
// server's handler (where it would hit a newer connection given the same
// handle value). Prints "clean" and exits 0, or says what was left.
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/win32/win32_stream_server.h"

namespace {

using platform::win32::Win32StreamServer;

bool Queued(SOCKET socket) {
  MSG message;
  // Only posted messages: nothing is dispatched or removed by looking.
  std::vector<MSG> seen;
  while (PeekMessageA(&message, nullptr, Win32StreamServer::kSocketMessage,
                      Win32StreamServer::kSocketMessage, PM_REMOVE | PM_QS_POSTMESSAGE)) {
    seen.push_back(message);
  }
  bool found = false;
  for (const MSG& m : seen) {
    found = found || static_cast<SOCKET>(m.wParam) == socket;
    PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
  }
  return found;
}

template <typename Condition>
bool PumpUntil(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  MSG message;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  }
  return true;
}

}  // namespace

int main() {
  Win32StreamServer server(
      [](const std::string& text) { std::printf("error: %s\n", text.c_str()); });
  std::vector<std::pair<platform::SocketHandle, platform::StreamEvent>> events;
  server.SetEventHandler(
      [&](platform::SocketHandle s, platform::StreamEvent event, platform::SocketError) {
        events.push_back({s, event});
      });
  auto listening = server.Listen(0, 5);
  if (listening.socket == platform::kNoSocket) return 2;
  sockaddr_in local{};
  int length = sizeof local;
  getsockname(static_cast<SOCKET>(listening.socket), reinterpret_cast<sockaddr*>(&local), &length);
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

  SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (connect(client, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return 2;
  if (!PumpUntil([&] { return !events.empty(); })) return 2;
  platform::SocketError error;
  const platform::SocketHandle accepted = server.Accept(listening.socket, error);
  if (accepted == platform::kNoSocket) return 2;

  closesocket(client);  // the device leaves: FD_CLOSE is posted for `accepted`
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!Queued(static_cast<SOCKET>(accepted))) {
    if (std::chrono::steady_clock::now() > end) {
      std::printf("no close notification was ever queued\n");
      return 2;
    }
    Sleep(5);
  }
  server.Close(accepted);  // before its queued notification is handled
  const std::size_t before = events.size();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  for (std::size_t i = before; i < events.size(); ++i) {
    if (events[i].first == accepted) {
      std::printf("a notification for the closed connection reached the handler\n");
      return 1;
    }
  }
  server.Close(listening.socket);
  std::printf("clean\n");
  return 0;
}
