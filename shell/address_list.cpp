#include "shell/address_list.h"

namespace shell {

std::string LocalAddressList(platform::ISockets& sockets, const std::string& computer_name) {
  std::string list;
  for (std::uint32_t address : sockets.HostAddresses(computer_name)) {
    if (!list.empty()) list += ", ";
    list += platform::Ipv4ToText(address);
  }
  return list;
}

}  // namespace shell
