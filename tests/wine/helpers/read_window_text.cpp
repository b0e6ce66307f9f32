// Test helper: prints the text of the first visible top-level window of a class,
// or of its first child of a given class, or of every such child, a line each
// in UTF-8.
//   read_window_text.exe CLASS [CHILD_CLASS [all]]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void PrintText(HWND window) {
  LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> text(static_cast<std::size_t>(length) + 1);
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  std::printf("%s\n", text.data());
}

// As UTF-8: a device's name may hold any letter.
void PrintTextUtf8(HWND window) {
  LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1);
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  std::vector<char> utf8(text.size() * 3 + 1);
  WideCharToMultiByte(CP_UTF8, 0, text.data(), -1, utf8.data(), static_cast<int>(utf8.size()),
                      nullptr, nullptr);
  std::printf("%s\n", utf8.data());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND window = FindWindowA(argv[1], nullptr);
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  if (argc > 3 && std::strcmp(argv[3], "all") == 0) {
    for (HWND child = FindWindowExA(window, nullptr, argv[2], nullptr); child != nullptr;
         child = FindWindowExA(window, child, argv[2], nullptr)) {
      PrintTextUtf8(child);
    }
    return 0;
  }
  if (argc > 2) window = FindWindowExA(window, nullptr, argv[2], nullptr);
  if (window == nullptr) {
    std::printf("no child window\n");
    return 1;
  }
  PrintText(window);
  return 0;
}
