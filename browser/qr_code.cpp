#include "browser/qr_code.h"

#include <qrcodegen.h>

#include <cstdint>
#include <vector>

namespace browser {

// The library's C interface: the C++ one builds its error messages with a
// string stream, which would bring the whole of C++'s locale machinery into
// the program for one message nobody sees.
std::optional<QrModules> QrCodeOf(const std::string& text) {
  std::vector<std::uint8_t> code(qrcodegen_BUFFER_LEN_MAX);
  std::vector<std::uint8_t> scratch(qrcodegen_BUFFER_LEN_MAX);
  // Medium correction: a phone's camera reads it off a screen with glare.
  if (!qrcodegen_encodeText(text.c_str(), scratch.data(), code.data(), qrcodegen_Ecc_MEDIUM,
                            qrcodegen_VERSION_MIN, qrcodegen_VERSION_MAX, qrcodegen_Mask_AUTO,
                            true)) {
    return std::nullopt;  // too long for any QR code
  }
  const int size = qrcodegen_getSize(code.data());
  QrModules modules;
  modules.size = size + 2 * QrModules::kQuietZone;
  modules.dark.assign(static_cast<std::size_t>(modules.size * modules.size), false);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int at = (y + QrModules::kQuietZone) * modules.size + x + QrModules::kQuietZone;
      modules.dark[static_cast<std::size_t>(at)] = qrcodegen_getModule(code.data(), x, y);
    }
  }
  return modules;
}

}  // namespace browser
