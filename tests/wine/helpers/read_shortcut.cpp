// Test helper: prints the target and description of a shell link.
//   read_shortcut.exe PATH.lnk
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  int code = 1;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char target[MAX_PATH] = {};
      char description[MAX_PATH] = {};
      link->GetPath(target, MAX_PATH, nullptr, 0);
      link->GetDescription(description, MAX_PATH);
      std::printf("target: %s\ndescription: %s\n", target, description);
      code = 0;
    }
  }
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  return code;
}
