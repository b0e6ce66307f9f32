// Floor of the key path with the hand-over the host makes: the simplest program
// in which one thread receives each datagram and another presses the key. The
// receiving thread wakes the pressing one with an event and waits until the key
// is sent before it receives again, as the host's listener does. The way there
// is an event because the host's pressing thread waits for window messages as
// well, which only a kernel object can share; the way back is the cheapest wait
// there is, a condition variable on a slim lock, as in the host.
// With "window", the pressing thread owns a window and waits for its messages
// as well as for the event, as the host's main thread must.
//   floor_key_handover PORT [window]
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

HANDLE received_event;
SRWLOCK lock = SRWLOCK_INIT;
CONDITION_VARIABLE pressed_changed = CONDITION_VARIABLE_INIT;
bool pressed = false;

DWORD WINAPI Receive(void* socket) {
  char buffer[64];
  for (;;) {
    if (recv(reinterpret_cast<SOCKET>(socket), buffer, sizeof buffer, 0) <= 0) continue;
    SetEvent(received_event);
    AcquireSRWLockExclusive(&lock);
    while (!pressed) SleepConditionVariableSRW(&pressed_changed, &lock, INFINITE, 0);
    pressed = false;
    ReleaseSRWLockExclusive(&lock);
  }
}

}  // namespace

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
  received_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const bool window = argc > 2 && std::strcmp(argv[2], "window") == 0;
  if (window) CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  CloseHandle(CreateThread(nullptr, 0, Receive, reinterpret_cast<void*>(s), 0, nullptr));
  for (;;) {
    if (!window) {
      WaitForSingleObject(received_event, INFINITE);
    } else {
      // The host's loop: its messages are dispatched, the event goes on to the key.
      while (MsgWaitForMultipleObjectsEx(1, &received_event, INFINITE, QS_ALLINPUT,
                                         MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      }
    }
    SendInput(2, keys, sizeof(INPUT));
    AcquireSRWLockExclusive(&lock);
    pressed = true;
    ReleaseSRWLockExclusive(&lock);
    WakeConditionVariable(&pressed_changed);
  }
}
