#include "protocol/socket_error.h"

namespace protocol {

std::string SocketErrorMessage(int error, const std::string& system_text) {
  return "Socket Error # " + std::to_string(error) + "\r\n" + system_text;
}

ESocketError::ESocketError(platform::SocketError error, const std::string& system_text)
    : EFrameworkError(SocketErrorMessage(error.number, system_text)), error_(error) {}

}  // namespace protocol
