#pragma once
// The first look at each datagram, on the listener thread, before anything
// is handed to the main thread.
#include <cstddef>
#include <cstdint>

namespace protocol {

enum class GateVerdict {
  Drop,      // from a far sender, or not a command: costs the main thread nothing
  Probe,     // a discovery probe from a nearby sender: answered right here
  HandOver,  // a command for the main thread
};

GateVerdict ClassifyDatagram(bool nearby, const std::uint8_t* data, std::size_t size);

}  // namespace protocol
