// Test helper: the host's Windows cryptography (CNG) on the standard's HMAC
// vectors and its random source, and a secret wrapped for the user (DPAPI)
// and unwrapped again, printed for the test to compare. With arguments, a
// browser message encrypted as the host does (AES-256-GCM), then opened
// again as it is and with one bit changed:
//   crypto_vectors.exe
//   crypto_vectors.exe KEY-HEX NUMBER PAYLOAD-HEX   prints: sealed-hex opened|lost refused|accepted
#include <cstdio>
#include <string>

#include "browser/sealed_channel.h"
#include "platform/crypto.h"
#include "platform/win32/win32_protect.h"

namespace {

void PrintHex(const platform::Bytes& bytes) {
  for (std::uint8_t byte : bytes) std::printf("%02x", byte);
  std::printf("\n");
}

platform::Bytes FromHex(const std::string& text) {
  platform::Bytes bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

int SealOne(const char* key_hex, const char* number_text, const char* payload_hex) {
  platform::ICrypto& crypto = platform::SystemCrypto();
  const platform::Bytes key = FromHex(key_hex), payload = FromHex(payload_hex);
  const std::uint64_t number = std::stoull(number_text);
  const platform::Bytes sealed = browser::Seal(crypto, key, number, payload);
  PrintHex(sealed);
  platform::Bytes changed = sealed;
  if (!changed.empty()) changed.back() ^= 1;
  std::printf("%s %s\n", browser::Open(crypto, key, number, sealed) == payload ? "opened" : "lost",
              browser::Open(crypto, key, number, changed) ? "accepted" : "refused");
  return sealed.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4) return SealOne(argv[1], argv[2], argv[3]);
  platform::ICrypto& crypto = platform::SystemCrypto();
  // RFC 4231, test cases 1 and 2.
  const std::string hi = "Hi There", jefe = "what do ya want for nothing?";
  PrintHex(crypto.HmacSha256(platform::Bytes(20, 0x0b),
                             reinterpret_cast<const std::uint8_t*>(hi.data()), hi.size()));
  PrintHex(crypto.HmacSha256(platform::Bytes{'J', 'e', 'f', 'e'},
                             reinterpret_cast<const std::uint8_t*>(jefe.data()), jefe.size()));
  PrintHex(crypto.RandomBytes(16));
  PrintHex(crypto.RandomBytes(16));
  platform::win32::Win32Protect protect;
  const platform::Bytes secret = crypto.RandomBytes(32);
  const auto wrapped = protect.Protect(secret);
  const auto unwrapped = wrapped ? protect.Unprotect(*wrapped) : std::nullopt;
  platform::Bytes changed = wrapped.value_or(platform::Bytes{});
  if (!changed.empty()) changed[changed.size() / 2] ^= 1;
  std::printf("protect %s %s %s\n", wrapped && *wrapped != secret ? "wrapped" : "not-wrapped",
              unwrapped == secret ? "round-trip" : "lost",
              protect.Unprotect(changed) ? "changed-accepted" : "changed-refused");
  return 0;
}
