#pragma once
#include <windows.h>

#include <functional>

#include "platform/clipboard.h"

namespace platform::win32 {

class Win32Clipboard final : public IClipboard {
 public:
  // `owner` gives the application's hidden window, which owns the clipboard.
  explicit Win32Clipboard(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  bool Open() override;
  bool Empty() override;
  bool SetText(TextFormat format, const void* data, std::size_t size) override;
  bool SetRegistered(unsigned format, const void* data, std::size_t size) override;
  void Close() override;
  unsigned RegisterFormat(const std::string& name) override;
  std::u16string AnsiToUtf16(const std::string& text) override;

 private:
  std::function<HWND()> owner_;
};

}  // namespace platform::win32
