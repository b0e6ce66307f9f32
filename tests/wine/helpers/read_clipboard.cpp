// Test helper: prints what the clipboard holds.
//   text-length: N         the CF_TEXT text's length
//   text: ...              the text when it is short, else its first and last 20 characters
//   unicode-length: N      the CF_UNICODETEXT text's length
//   unicode-hex: HEX       that text's UTF-16 units, 4 hex digits each, when short
//   format: NAME           each registered format present
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main() {
  for (int attempt = 0; !OpenClipboard(nullptr); ++attempt) {
    if (attempt == 100) {
      std::printf("cannot open\n");
      return 1;
    }
    Sleep(20);
  }
  if (HANDLE text = GetClipboardData(CF_TEXT)) {
    std::string value(static_cast<const char*>(GlobalLock(text)));
    GlobalUnlock(text);
    std::printf("text-length: %zu\n", value.size());
    if (value.size() <= 60) {
      std::printf("text: %s\n", value.c_str());
    } else {
      std::printf("text: %s...%s\n", value.substr(0, 20).c_str(),
                  value.substr(value.size() - 20).c_str());
    }
  }
  if (HANDLE wide = GetClipboardData(CF_UNICODETEXT)) {
    const auto* units = static_cast<const wchar_t*>(GlobalLock(wide));
    const std::size_t length = wcslen(units);
    std::printf("unicode-length: %zu\n", length);
    if (length <= 60) {
      std::printf("unicode-hex: ");
      for (std::size_t i = 0; i < length; ++i) std::printf("%04x", static_cast<unsigned>(units[i]));
      std::printf("\n");
    }
    GlobalUnlock(wide);
  }
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    char name[256];
    if (GetClipboardFormatNameA(format, name, sizeof name) > 0) std::printf("format: %s\n", name);
  }
  CloseClipboard();
  return 0;
}
