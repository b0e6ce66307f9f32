#pragma once
// The doubles play a Windows system: tests give them Windows Sockets numbers,
// which they report as the failures the portable code knows.
#include "platform/sockets.h"

namespace doubles {
namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotSocket = 10038;
inline constexpr int kMessageSize = 10040;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kNetReset = 10052;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kNotConnected = 10057;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
}  // namespace wsa

struct WsaPair {
  int number;
  platform::SocketFailure failure;
};

inline constexpr WsaPair kWsaFailures[] = {
    {wsa::kInterrupted, platform::SocketFailure::Interrupted},
    {wsa::kInvalidArgument, platform::SocketFailure::InvalidArgument},
    {wsa::kWouldBlock, platform::SocketFailure::WouldBlock},
    {wsa::kNotSocket, platform::SocketFailure::NotSocket},
    {wsa::kMessageSize, platform::SocketFailure::MessageSize},
    {wsa::kAddressInUse, platform::SocketFailure::AddressInUse},
    {wsa::kNetReset, platform::SocketFailure::NetReset},
    {wsa::kConnectionAborted, platform::SocketFailure::ConnectionAborted},
    {wsa::kConnectionReset, platform::SocketFailure::ConnectionReset},
    {wsa::kNotConnected, platform::SocketFailure::NotConnected},
    {wsa::kTimedOut, platform::SocketFailure::TimedOut},
    {wsa::kConnectionRefused, platform::SocketFailure::ConnectionRefused},
};

inline platform::SocketError WsaError(int number) {
  if (number == 0) return {};
  for (const WsaPair& pair : kWsaFailures) {
    if (pair.number == number) return {pair.failure, number};
  }
  return {platform::SocketFailure::Other, number};
}

inline platform::SocketError WsaErrorOf(platform::SocketFailure failure) {
  for (const WsaPair& pair : kWsaFailures) {
    if (pair.failure == failure) return {failure, pair.number};
  }
  return {failure, 0};
}

}  // namespace doubles
