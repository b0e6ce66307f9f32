// Test helper: waits for a message box of the given process (or any), prints its
// caption and text on two lines, then presses its OK button; with a file
// named, it waits (within the same seconds) until that file exists before it
// presses OK, so that a test can act while the box is up.
//   read_message_box.exe [seconds [go-file]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Found {
  HWND box = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770" && IsWindowVisible(window)) {
    reinterpret_cast<Found*>(param)->box = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (std::string(name) == "Static") {
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    if (text[0] != 0) *reinterpret_cast<std::string*>(param) += text;
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 30;
  const DWORD end = GetTickCount() + seconds * 1000;
  Found found;
  while (found.box == nullptr && GetTickCount() < end) {
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
    if (found.box == nullptr) Sleep(100);
  }
  if (found.box == nullptr) {
    std::printf("no message box\n");
    return 1;
  }
  char caption[256] = {};
  GetWindowTextA(found.box, caption, sizeof caption);
  std::string text;
  EnumChildWindows(found.box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  // Line breaks inside the text are shown as \n so that the output stays two lines.
  std::string flat;
  for (char c : text)
    flat += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  std::printf("caption: %s\ntext: %s\n", caption, flat.c_str());
  std::fflush(stdout);
  if (argc > 2) {
    while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES && GetTickCount() < end)
      Sleep(50);
  }
  PostMessageA(found.box, WM_COMMAND, IDOK, 0);
  return 0;
}
