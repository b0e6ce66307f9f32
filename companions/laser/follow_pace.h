#pragma once
// How often the laser dot looks where the pointer is: once a frame of the
// display while the pointer moves (a move between two frames is never seen),
// slowly once it rests.
namespace companions {

inline constexpr unsigned kDefaultFrameMs = 16;  // a 60 Hz display's frame
inline constexpr unsigned kRestingPeriodMs = 100;
inline constexpr unsigned kRestAfterMs = 500;

// The moving pace for a display of `hertz`, never more often than it
// refreshes; 0 and 1 are the display's own default rate, which it does not tell.
unsigned FramePeriodMs(int hertz);

// How many moving ticks without a move before the resting pace.
int TicksBeforeRest(unsigned frame_ms);

}  // namespace companions
