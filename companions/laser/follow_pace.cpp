#include "companions/laser/follow_pace.h"

namespace companions {

unsigned FramePeriodMs(int hertz) {
  if (hertz <= 1) return kDefaultFrameMs;
  // Rounded up: a period shorter than the frame would look twice a frame.
  const auto rate = static_cast<unsigned>(hertz);
  return (1000 + rate - 1) / rate;
}

int TicksBeforeRest(unsigned frame_ms) {
  return static_cast<int>(kRestAfterMs / (frame_ms == 0 ? kDefaultFrameMs : frame_ms));
}

}  // namespace companions
