#pragma once
// Clipboard family: the raw calls; what goes on the clipboard and in which
// order is decided by the portable clipboard object.
#include <cstddef>
#include <string>

namespace platform {

// The system's own text formats.
enum class TextFormat { Ansi, Unicode };

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // Opens with the application's own hidden window as the owner.
  virtual bool Open() = 0;
  virtual bool Empty() = 0;
  // Copies `size` bytes into a movable, shareable global block and sets it as
  // that format; the clipboard owns the block afterwards (it is freed on failure).
  virtual bool SetText(TextFormat format, const void* data, std::size_t size) = 0;
  // The same for a format registered by name (RegisterFormat).
  virtual bool SetRegistered(unsigned format, const void* data, std::size_t size) = 0;
  virtual void Close() = 0;
  virtual unsigned RegisterFormat(const std::string& name) = 0;
  // ANSI text of the system code page as UTF-16 units, without a terminator.
  virtual std::u16string AnsiToUtf16(const std::string& text) = 0;
};

}  // namespace platform
