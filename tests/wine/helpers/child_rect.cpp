// Test helper: prints "LEFT TOP RIGHT BOTTOM" (screen pixels) of the child
// window with a given text inside the first visible top-level window of a
// class, or fails when there is none.
//   child_rect.exe CLASS TEXT
//   child_rect.exe CLASS class:CHILD_CLASS   the first child of that class
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct Search {
  const char* text;
  HWND found;
};

BOOL CALLBACK Visit(HWND child, LPARAM l) {
  auto* search = reinterpret_cast<Search*>(l);
  char text[256] = {};
  if (std::strncmp(search->text, "class:", 6) == 0) {
    GetClassNameA(child, text, sizeof text);
    if (lstrcmpiA(text, search->text + 6) != 0) return TRUE;
  } else {
    GetWindowTextA(child, text, sizeof text);
    if (std::strcmp(text, search->text) != 0) return TRUE;
  }
  search->found = child;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  for (HWND window = FindWindowA(argv[1], nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, argv[1], nullptr)) {
    if (!IsWindowVisible(window)) continue;
    Search search{argv[2], nullptr};
    EnumChildWindows(window, Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) continue;
    RECT rect;
    GetWindowRect(search.found, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
  }
  std::printf("no such window\n");
  return 1;
}
