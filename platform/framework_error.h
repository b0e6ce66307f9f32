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

}  // namespace platform
