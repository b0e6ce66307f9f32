#pragma once
// Windows Sockets error numbers as the failures the portable code knows.
#include "platform/sockets.h"

namespace platform::win32 {

// The failure for a Windows Sockets number (0: none), the number kept.
SocketError WinsockError(int number);
// The last error of this thread's socket calls.
SocketError LastWinsockError();
// The Windows Sockets number of a failure the portable code found itself.
SocketError WinsockErrorOf(SocketFailure failure);

}  // namespace platform::win32
