// Test helper standing in for a media player or utility. It writes to
// "<its own path>.log": "started cwd=<current folder> args=<command line>" and
// "closed <title>" for each of its windows asked to close. Named like
// PPStream, it opens the windows "PPS player" and "Settings"; with a file
// "<its own path>.hang" beside it, it stops answering messages.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string g_log_path;

void Log(const std::string& line) {
  if (FILE* log = std::fopen(g_log_path.c_str(), "a")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CLOSE) {
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    Log(std::string("closed ") + title);
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  g_log_path = std::string(path) + ".log";
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  Log(std::string("started cwd=") + folder + " args=" + command_line);

  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = "MirovantaFakePlayer";
  RegisterClassA(&window_class);
  const bool pps = Lower(path).find("ppstream") != std::string::npos;
  const std::vector<std::string> titles =
      pps ? std::vector<std::string>{"PPS player", "Settings"} : std::vector<std::string>{"Player"};
  for (const std::string& title : titles) {
    CreateWindowExA(WS_EX_TOOLWINDOW, "MirovantaFakePlayer", title.c_str(), WS_POPUP, 0, 0, 10, 10,
                    nullptr, nullptr, instance, nullptr);
  }
  if (GetFileAttributesA((std::string(path) + ".hang").c_str()) != INVALID_FILE_ATTRIBUTES) {
    Log("hanging");
    Sleep(INFINITE);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
