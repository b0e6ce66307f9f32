#include "platform/win32/win32_clipboard.h"

#include <cstring>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {

bool Win32Clipboard::Open() { return OpenClipboard(owner_()) != FALSE; }
bool Win32Clipboard::Empty() { return EmptyClipboard() != FALSE; }
void Win32Clipboard::Close() { CloseClipboard(); }

bool Win32Clipboard::SetText(TextFormat format, const void* data, std::size_t size) {
  return SetRegistered(format == TextFormat::Unicode ? CF_UNICODETEXT : CF_TEXT, data, size);
}

bool Win32Clipboard::SetRegistered(unsigned format, const void* data, std::size_t size) {
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size));
  if (!block) return false;
  void* target = GlobalLock(block.get());
  if (target == nullptr) return false;
  std::memcpy(target, data, size);
  GlobalUnlock(block.get());
  // Still ours when the clipboard did not take it; the system's once it did.
  if (SetClipboardData(format, block.get()) == nullptr) return false;
  block.release();
  return true;
}

unsigned Win32Clipboard::RegisterFormat(const std::string& name) {
  return RegisterClipboardFormatA(name.c_str());
}

std::u16string Win32Clipboard::AnsiToUtf16(const std::string& text) {
  if (text.empty()) return {};
  int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(wide.data()), length);
  return wide;
}

}  // namespace platform::win32
