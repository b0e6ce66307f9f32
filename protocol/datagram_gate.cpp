#include "protocol/datagram_gate.h"

#include "protocol/wire_format.h"

namespace protocol {

using namespace wire;

GateVerdict ClassifyDatagram(bool nearby, const std::uint8_t* data, std::size_t size) {
  // A far sender never learns that the host is there.
  if (!nearby) return GateVerdict::Drop;
  const bool framed = size >= kProbeLength && data[0] == kHeader1 && data[1] == kHeader2;
  if (size == kProbeLength) {
    return framed && data[kGroupOffset] == kProbeMarker ? GateVerdict::Probe : GateVerdict::Drop;
  }
  if (size < kShortestCommand || !framed) return GateVerdict::Drop;
  return GateVerdict::HandOver;
}

}  // namespace protocol
