// Test helper standing in for "Open.exe": writes its command line to
// "open-standin.log" beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string log_path(path);
  log_path = log_path.substr(0, log_path.find_last_of('\\') + 1) + "open-standin.log";
  if (FILE* log = std::fopen(log_path.c_str(), "a")) {
    std::fprintf(log, "args=%s\n", command_line);
    std::fclose(log);
  }
  return 0;
}
