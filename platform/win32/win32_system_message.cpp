#include "platform/win32/win32_system_message.h"

#include <windows.h>

namespace platform::win32 {

std::string SystemMessageText(unsigned long error) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n')) text[--n] = 0;
  return text;
}

}  // namespace platform::win32
