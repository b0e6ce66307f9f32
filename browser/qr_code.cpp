#include "browser/qr_code.h"

#include <qrcodegen.hpp>

namespace browser {

std::optional<QrModules> QrCodeOf(const std::string& text) {
  try {
    // Medium correction: a phone's camera reads it off a screen with glare.
    const qrcodegen::QrCode code =
        qrcodegen::QrCode::encodeText(text.c_str(), qrcodegen::QrCode::Ecc::MEDIUM);
    QrModules modules;
    modules.size = code.getSize() + 2 * QrModules::kQuietZone;
    modules.dark.assign(static_cast<std::size_t>(modules.size * modules.size), false);
    for (int y = 0; y < code.getSize(); ++y) {
      for (int x = 0; x < code.getSize(); ++x) {
        const int at = (y + QrModules::kQuietZone) * modules.size + x + QrModules::kQuietZone;
        modules.dark[static_cast<std::size_t>(at)] = code.getModule(x, y);
      }
    }
    return modules;
  } catch (const qrcodegen::data_too_long&) {
    return std::nullopt;  // the caller says the address is too long to show as a code
  }
}

}  // namespace browser
