// Test helper: stands in for netsh.exe. Appends its command line, as one UTF-8
// line, to the file named by MIROVANTA_NETSH_LOG, and succeeds.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"MIROVANTA_NETSH_LOG", path, MAX_PATH) == 0) return 1;
  const wchar_t* line = GetCommandLineW();
  const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);
  FILE* log = _wfopen(path, L"ab");
  if (log == nullptr) return 1;
  std::fprintf(log, "%s\n", text.c_str());
  std::fclose(log);
  return 0;
}
