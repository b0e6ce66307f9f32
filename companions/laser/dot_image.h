#pragma once
// The laser dot: a red core with a soft glow, as premultiplied BGRA pixels.
#include <cstdint>
#include <vector>

namespace companions {

inline constexpr int kDotDiameterAt96Dpi = 24;

struct DotImage {
  int size = 0;                       // width and height, in pixels
  std::vector<std::uint32_t> pixels;  // row by row, 0xAARRGGBB premultiplied
};

// The dot's diameter at a monitor's DPI: 24 pixels at 100 % scaling.
int DotDiameterFor(unsigned dpi);
// The whole image, glow included (about twice the diameter).
DotImage RenderDot(int diameter);

// A point on the screen, in pixels of the virtual screen.
struct ScreenPoint {
  long x = 0;
  long y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// The top left corner of the dot's window when the dot's centre pixel lies
// on the pointer at (`x`, `y`); `size` is the image's (odd) width.
ScreenPoint DotOrigin(long x, long y, int size);

}  // namespace companions
