#pragma once
// The laser dot: a red core with a soft glow, as premultiplied BGRA pixels.
#include <cstdint>
#include <vector>

namespace companions {

inline constexpr int kDotDiameterAt96Dpi = 24;

struct DotImage {
  int size = 0;                  // width and height, in pixels
  std::vector<std::uint32_t> pixels;  // row by row, 0xAARRGGBB premultiplied
};

// The dot's diameter at a monitor's DPI: 24 pixels at 100 % scaling.
int DotDiameterFor(unsigned dpi);
// The whole image, glow included (about twice the diameter).
DotImage RenderDot(int diameter);

}  // namespace companions
