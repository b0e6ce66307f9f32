#pragma once
// Where a window that pops up by itself goes: centred, unless that would put
// it under the pointer, where a click meant for what was there before would
// land on it.
namespace platform {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// A `width` × `height` window in `area`: centred; if that covers the pointer
// or comes within `margin` of it, moved above, below, left or right of the
// pointer, the first that fits. Centred all the same when none does.
Rect PlaceAwayFrom(const Rect& area, int width, int height, int pointer_x, int pointer_y,
                   int margin);

}  // namespace platform
