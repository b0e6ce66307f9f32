#include "platform/win32/win32_protect.h"

#include <windows.h>
#include <dpapi.h>

namespace platform::win32 {
namespace {

std::optional<Bytes> Run(const Bytes& input, bool protect) {
  DATA_BLOB in{static_cast<DWORD>(input.size()), const_cast<BYTE*>(input.data())};
  DATA_BLOB out{};
  const BOOL done = protect ? CryptProtectData(&in, L"Mirovanta 2", nullptr, nullptr, nullptr,
                                               CRYPTPROTECT_UI_FORBIDDEN, &out)
                            : CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr,
                                                 CRYPTPROTECT_UI_FORBIDDEN, &out);
  if (!done) return std::nullopt;
  Bytes result(out.pbData, out.pbData + out.cbData);
  SecureZeroMemory(out.pbData, out.cbData);
  LocalFree(out.pbData);
  return result;
}

}  // namespace

std::optional<Bytes> Win32Protect::Protect(const Bytes& secret) { return Run(secret, true); }

std::optional<Bytes> Win32Protect::Unprotect(const Bytes& wrapped) { return Run(wrapped, false); }

}  // namespace platform::win32
