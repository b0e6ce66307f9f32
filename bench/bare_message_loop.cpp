// The smallest resident Windows program: one hidden window and a message
// loop. The host's memory is measured beside it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = instance;
  window_class.lpszClassName = "BareMessageLoop";
  RegisterClassA(&window_class);
  CreateWindowExA(0, "BareMessageLoop", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                  nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
