// Test helper: prints the text of the first visible top-level window of a class,
// or of its first child of a given class.
//   read_window_text.exe CLASS [CHILD_CLASS]
#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND window = FindWindowA(argv[1], nullptr);
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  if (argc > 2) window = FindWindowExA(window, nullptr, argv[2], nullptr);
  if (window == nullptr) {
    std::printf("no child window\n");
    return 1;
  }
  LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> text(static_cast<std::size_t>(length) + 1);
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  std::printf("%s\n", text.data());
  return 0;
}
