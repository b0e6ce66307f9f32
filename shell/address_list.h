#pragma once
#include <string>

#include "platform/sockets.h"

namespace shell {

// The computer's IPv4 addresses in the resolver's order, joined by ", "; empty
// when the name does not resolve.
std::string LocalAddressList(platform::ISockets& sockets, const std::string& computer_name);

}  // namespace shell
