#include "companions/laser/dot_image.h"

#include <algorithm>
#include <cmath>

namespace companions {

int DotDiameterFor(unsigned dpi) {
  if (dpi == 0) dpi = 96;
  return std::max(8, static_cast<int>(std::lround(kDotDiameterAt96Dpi * dpi / 96.0)));
}

// Solid in the inner third of the radius, a bright rim fading to its edge, and
// a faint glow that reaches twice the radius.
DotImage RenderDot(int diameter) {
  DotImage image;
  const double radius = diameter / 2.0;
  image.size = static_cast<int>(std::ceil(radius * 4)) | 1;
  image.pixels.assign(static_cast<std::size_t>(image.size) * image.size, 0);
  const double centre = image.size / 2.0;
  for (int y = 0; y < image.size; ++y) {
    for (int x = 0; x < image.size; ++x) {
      const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre) / radius;
      double alpha;
      if (d <= 0.35) {
        alpha = 1.0;
      } else if (d <= 1.0) {
        alpha = 1.0 - 0.55 * (d - 0.35) / 0.65;
      } else if (d <= 2.0) {
        alpha = 0.45 * std::pow(2.0 - d, 2.0);
      } else {
        alpha = 0.0;
      }
      // White-hot centre, red towards the rim.
      const double heat = std::clamp(1.0 - d / 0.35, 0.0, 1.0);
      const double red = 255.0;
      const double green = 40.0 + 180.0 * heat;
      const double blue = 30.0 + 170.0 * heat;
      auto channel = [&](double value) {
        return static_cast<std::uint32_t>(std::lround(value * alpha));
      };
      image.pixels[static_cast<std::size_t>(y) * image.size + x] =
          (static_cast<std::uint32_t>(std::lround(alpha * 255)) << 24) | (channel(red) << 16) |
          (channel(green) << 8) | channel(blue);
    }
  }
  return image;
}

ScreenPoint DotOrigin(long x, long y, int size) { return {x - size / 2, y - size / 2}; }

}  // namespace companions
