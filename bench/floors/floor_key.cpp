// Floor of the key path: the simplest program that turns a datagram into a
// key press. One socket bound to every address; for each datagram, one SendInput
// of Enter down and up, on the same thread.
//   floor_key PORT
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);  // as a program found from the network
  local.sin_port = htons(static_cast<unsigned short>(std::atoi(argv[1])));
  if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return 1;
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_RETURN;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC));
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  char buffer[64];
  for (;;) {
    if (recv(s, buffer, sizeof buffer, 0) > 0) SendInput(2, keys, sizeof(INPUT));
  }
}
