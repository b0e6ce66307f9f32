#include "platform/win32/win32_socket_error.h"

#include <winsock2.h>

namespace platform::win32 {
namespace {

struct Pair {
  int number;
  SocketFailure failure;
};

constexpr Pair kFailures[] = {
    {WSAEINTR, SocketFailure::Interrupted},
    {WSAEINVAL, SocketFailure::InvalidArgument},
    {WSAEWOULDBLOCK, SocketFailure::WouldBlock},
    {WSAENOTSOCK, SocketFailure::NotSocket},
    {WSAEMSGSIZE, SocketFailure::MessageSize},
    {WSAEADDRINUSE, SocketFailure::AddressInUse},
    {WSAENETRESET, SocketFailure::NetReset},
    {WSAECONNABORTED, SocketFailure::ConnectionAborted},
    {WSAECONNRESET, SocketFailure::ConnectionReset},
    {WSAENOTCONN, SocketFailure::NotConnected},
    {WSAETIMEDOUT, SocketFailure::TimedOut},
    {WSAECONNREFUSED, SocketFailure::ConnectionRefused},
};

}  // namespace

SocketError WinsockError(int number) {
  if (number == 0) return {};
  for (const Pair& pair : kFailures) {
    if (pair.number == number) return {pair.failure, number};
  }
  return {SocketFailure::Other, number};
}

SocketError LastWinsockError() { return WinsockError(WSAGetLastError()); }

SocketError WinsockErrorOf(SocketFailure failure) {
  for (const Pair& pair : kFailures) {
    if (pair.failure == failure) return {failure, pair.number};
  }
  return {failure, 0};
}

}  // namespace platform::win32
