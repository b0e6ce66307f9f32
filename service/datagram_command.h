#pragma once
// What the app's command datagram asks, in meanings. Pure: the same bytes
// always give the same command, and any bytes give one.
#include <cstddef>
#include <cstdint>

#include "service/remote_command.h"

namespace service {

// A datagram of at least the shortest command with the header; anything the
// wire gives no meaning (a short or unframed datagram, an unknown group,
// page, pointer selector, utility or action) asks for Nothing. Bytes after
// what a command reads are ignored; group 2's text runs to its first zero
// byte or the datagram's end.
Ask DecodeDatagram(const std::uint8_t* data, std::size_t size);

}  // namespace service
