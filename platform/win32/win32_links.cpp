#include "platform/win32/win32_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace platform::win32 {
namespace {

// Owns COM for the click and the link object; releases both at the end.
class ComLinkSession final : public ILinkSession {
 public:
  ComLinkSession(IShellLinkA* link, bool com_started) : link_(link), com_started_(com_started) {}
  ~ComLinkSession() override {
    if (link_ != nullptr) link_->Release();
    if (com_started_) CoUninitialize();
  }

  bool SaveAs(const std::string& path) override {
    IPersistFile* file = nullptr;
    if (FAILED(link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      return false;
    }
    WCHAR wide[MAX_PATH] = {};
    // A path that does not fit the buffer converts to nothing; Save then fails
    // on the empty name and no file appears.
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    file->Save(wide, TRUE);
    file->Release();
    return true;
  }

 private:
  IShellLinkA* link_;
  bool com_started_;
};

}  // namespace

std::unique_ptr<ILinkSession> Win32ShellLinks::Begin(const std::string& target,
                                                     const std::string& description) {
  if (FAILED(CoInitialize(nullptr))) return nullptr;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    CoUninitialize();
    return nullptr;
  }
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  return std::make_unique<ComLinkSession>(link, true);
}

}  // namespace platform::win32
