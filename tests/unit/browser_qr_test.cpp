// The pairing window's QR code, read back by zbar's decoder as a phone's
// camera would read it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "browser/qr_code.h"

namespace {

constexpr int kPixelsPerModule = 4;

// The code as a grey-scale picture: dark on white, 4 pixels a module.
std::string WritePicture(const browser::QrModules& code, const std::string& name) {
  const std::string path = ::testing::TempDir() + name + ".pgm";
  std::ofstream picture(path, std::ios::binary);
  const int side = code.size * kPixelsPerModule;
  picture << "P5\n" << side << " " << side << "\n255\n";
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      picture.put(code.Dark(x / kPixelsPerModule, y / kPixelsPerModule) ? '\0' : '\xff');
    }
  }
  return path;
}

std::string Decoded(const std::string& path) {
  std::string text;
  // Its complaints (no D-Bus in a container) go to stderr, not into the text.
  FILE* reader = popen(("zbarimg --raw -q '" + path + "' 2>/dev/null").c_str(), "r");
  if (reader == nullptr) return "zbarimg did not start";
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, reader) != nullptr) text += buffer;
  pclose(reader);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

TEST(BrowserQr, ZbarReadsThePairingAddressBackWithItsKey) {
  const std::string urls[] = {
      "http://192.168.1.20:1566/#q3VhbmQgbGEgbmVpZ2UgZm9uZCBzdXIgbGVzIHRvaXRz",
      "http://10.0.0.2:1566/#" + std::string(43, 'A'),
      "http://172.16.254.254:1566/#-_0123456789abcdefghijklmnopqrstuvwxyzABCDEFG",
  };
  int i = 0;
  for (const std::string& url : urls) {
    const auto code = browser::QrCodeOf(url);
    ASSERT_TRUE(code) << url;
    // The quiet zone: four light modules on every side.
    for (int k = 0; k < code->size; ++k) {
      for (int edge = 0; edge < browser::QrModules::kQuietZone; ++edge) {
        ASSERT_FALSE(code->Dark(k, edge) || code->Dark(edge, k) ||
                     code->Dark(k, code->size - 1 - edge) || code->Dark(code->size - 1 - edge, k));
      }
    }
    EXPECT_EQ(Decoded(WritePicture(*code, "pairing" + std::to_string(i++))), url);
  }
}

TEST(BrowserQr, TextTooLongForAnyCodeIsRefused) {
  EXPECT_FALSE(browser::QrCodeOf(std::string(8000, 'x')));
}

}  // namespace
