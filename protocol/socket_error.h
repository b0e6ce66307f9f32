#pragma once
// Errors of the datagram listener, with the framework's own texts.
#include <string>

#include "platform/framework_error.h"
#include "platform/sockets.h"

namespace protocol {

inline constexpr const char* kNoBindings = "No bindings specified.";
// The listener waits in the receive of its one socket.
inline constexpr const char* kOneBindingOnly = "Only one binding is supported.";
inline constexpr const char* kCannotAllocateSocket = "Cannot allocate socket.";
inline constexpr const char* kAddressInUse =
    "Could not bind socket. Address and port are already in use.";
inline constexpr const char* kWinsockInitialization = "Winsock Initialization Error.";

// A failed socket call: "Socket Error # <number>" and the platform's text on a new line.
class ESocketError : public platform::EFrameworkError {
 public:
  ESocketError(platform::SocketError error, const std::string& system_text);
  platform::SocketFailure Failure() const { return error_.failure; }

 private:
  platform::SocketError error_;
};

std::string SocketErrorMessage(int error, const std::string& system_text);

}  // namespace protocol
