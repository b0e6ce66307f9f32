#include "platform/window_place.h"

namespace platform {
namespace {

Rect At(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

bool Inside(const Rect& inner, const Rect& area) {
  return inner.left >= area.left && inner.top >= area.top && inner.right <= area.right &&
         inner.bottom <= area.bottom;
}

bool Near(const Rect& window, int x, int y, int margin) {
  return x > window.left - margin && x < window.right + margin && y > window.top - margin &&
         y < window.bottom + margin;
}

}  // namespace

Rect PlaceAwayFrom(const Rect& area, int width, int height, int pointer_x, int pointer_y,
                   int margin) {
  const int left = area.left + (area.right - area.left - width) / 2;
  const int top = area.top + (area.bottom - area.top - height) / 2;
  const Rect centred = At(left, top, width, height);
  if (!Near(centred, pointer_x, pointer_y, margin)) return centred;
  const Rect choices[] = {
      At(left, pointer_y - margin - height, width, height),  // above
      At(left, pointer_y + margin, width, height),           // below
      At(pointer_x - margin - width, top, width, height),    // left
      At(pointer_x + margin, top, width, height),            // right
  };
  for (const Rect& choice : choices) {
    if (Inside(choice, area)) return choice;
  }
  return centred;
}

}  // namespace platform
