// Test helper: the host's Windows cryptography (CNG) on the standard's HMAC
// vectors and its random source, and a secret wrapped for the user (DPAPI)
// and unwrapped again, printed for the test to compare.
//   crypto_vectors.exe
#include <cstdio>
#include <string>

#include "platform/crypto.h"
#include "platform/win32/win32_protect.h"

namespace {

void PrintHex(const platform::Bytes& bytes) {
  for (std::uint8_t byte : bytes) std::printf("%02x", byte);
  std::printf("\n");
}

}  // namespace

int main() {
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
