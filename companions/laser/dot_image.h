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

// A rectangle of the overlay's bitmap, in its pixels; right and bottom are
// one past the last column and row.
struct PixelRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// `area` cut to a bitmap of `width` x `height` pixels; empty (all zero) when
// nothing of it lies inside. Every write into the bitmap goes through this, so
// a pointer beyond a stale screen size never writes outside it.
PixelRect ClampToBitmap(const PixelRect& area, long width, long height);

}  // namespace companions
