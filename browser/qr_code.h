#pragma once
// The QR code the pairing window shows: a square of modules, dark or light,
// with the standard's quiet zone of four light modules around it.
#include <optional>
#include <string>
#include <vector>

namespace browser {

struct QrModules {
  static constexpr int kQuietZone = 4;
  int size = 0;  // modules a side, the quiet zone included
  std::vector<bool> dark;

  bool Dark(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)]; }
};

// None when the text is too long for any QR code.
std::optional<QrModules> QrCodeOf(const std::string& text);

}  // namespace browser
