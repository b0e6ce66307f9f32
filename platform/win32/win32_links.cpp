#include "platform/win32/win32_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {
namespace {

// Owns COM for the click and the link object; releases both at the end (the
// link before COM: members go in reverse order).
class ComLinkSession final : public ILinkSession {
 public:
  ComLinkSession(std::unique_ptr<ComInitialization> com, ComPtr<IShellLinkA> link)
      : com_(std::move(com)), link_(std::move(link)) {}

  bool SaveAs(const std::string& path) override {
    ComPtr<IPersistFile> file;
    if (FAILED(link_->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    WCHAR wide[MAX_PATH] = {};
    // A path that does not fit the buffer converts to nothing; Save then fails
    // on the empty name and no file appears.
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    file->Save(wide, TRUE);
    return true;
  }

 private:
  std::unique_ptr<ComInitialization> com_;
  ComPtr<IShellLinkA> link_;
};

}  // namespace

std::unique_ptr<ILinkSession> Win32ShellLinks::Begin(const std::string& target,
                                                     const std::string& description) {
  auto com = std::make_unique<ComInitialization>();
  if (!com->Started()) return nullptr;
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void()))) {
    return nullptr;
  }
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  return std::make_unique<ComLinkSession>(std::move(com), std::move(link));
}

}  // namespace platform::win32
