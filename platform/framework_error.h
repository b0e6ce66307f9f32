#pragma once
// The errors of the component framework. An error raised while the host handles
// an event ends the handling of that event; the message is what the user would
// see in the framework's error box.
#include <stdexcept>
#include <string>

namespace platform {

class EFrameworkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text the error box shows for `message`: a full stop is appended when the
// last character comes after the full stop in character code order.
inline std::string ExceptionDisplayText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace platform
