#pragma once
// Recording doubles of the input, clipboard, shell and window services.
#include <functional>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace doubles {

// One call into the input stream: its key strokes, or one pointer event.
struct InputCall {
  std::vector<platform::KeyStroke> keys;
  std::optional<platform::PointerEvent> pointer;
  std::size_t size() const { return pointer ? 1 : keys.size(); }
  const platform::KeyStroke& operator[](std::size_t i) const { return keys.at(i); }
  auto begin() const { return keys.begin(); }
  auto end() const { return keys.end(); }
};

class FakeInput final : public platform::IInput {
 public:
  // Every call into the input stream, in order.
  std::vector<InputCall> calls;
  platform::TPoint position{100, 200};
  bool cursor_readable = true;
  std::vector<platform::TPoint> set_positions;

  std::function<void()> on_send;  // runs inside each call
  // Windows may take only the first strokes of a call, or none: the calls
  // record what it took.
  unsigned take_at_most = ~0u;
  bool pointer_taken = true;
  unsigned SendKeys(const platform::KeyStroke* strokes, unsigned count) override {
    if (on_send) on_send();
    const unsigned taken = count < take_at_most ? count : take_at_most;
    calls.push_back({{strokes, strokes + taken}, std::nullopt});
    return taken;
  }
  bool SendPointer(const platform::PointerEvent& event) override {
    if (on_send) on_send();
    if (pointer_taken) calls.push_back({{}, event});
    return pointer_taken;
  }
  bool GetCursorPos(platform::TPoint& out) override {
    if (cursor_readable) out = position;
    return cursor_readable;
  }
  bool SetCursorPos(std::int32_t x, std::int32_t y) override {
    set_positions.push_back({x, y});
    position = {x, y};
    return true;
  }
  platform::TRect screen{0, 0, 1920, 1080};
  platform::TRect VirtualScreen() override { return screen; }
  // A made-up layout: distinct, non-zero, and easy to tell from the key.
  std::uint16_t ScanCodeOf(std::uint16_t vk) override {
    return static_cast<std::uint16_t>(vk + 0x100);
  }
};

class FakeClipboard final : public platform::IClipboard {
 public:
  int busy_for = 0;  // how many opens fail before one succeeds
  std::vector<std::string> calls;
  struct Entry {
    std::string format;
    std::string bytes;
  };
  std::vector<Entry> data;
  bool open = false;

  bool Open() override {
    calls.push_back("Open");
    if (busy_for > 0) {
      --busy_for;
      return false;
    }
    open = true;
    return true;
  }
  bool Empty() override {
    calls.push_back("Empty");
    data.clear();
    return true;
  }
  bool SetText(platform::TextFormat format, const void* bytes, std::size_t size) override {
    const bool unicode = format == platform::TextFormat::Unicode;
    return Put(unicode ? "Unicode" : "Ansi", bytes, size);
  }
  bool SetRegistered(unsigned format, const void* bytes, std::size_t size) override {
    return Put(std::to_string(format), bytes, size);
  }
  bool Put(const std::string& format, const void* bytes, std::size_t size) {
    calls.push_back("SetData " + format);
    data.push_back({format, std::string(static_cast<const char*>(bytes), size)});
    return open;
  }
  void Close() override {
    calls.push_back("Close");
    open = false;
  }
  unsigned RegisterFormat(const std::string& name) override {
    registered.push_back(name);
    return 0xC000u + static_cast<unsigned>(registered.size());
  }
  // Latin-1 as the code page: each byte one unit.
  std::u16string AnsiToUtf16(const std::string& text) override {
    std::u16string wide;
    for (char c : text) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return wide;
  }
  std::vector<std::string> registered;
};

class FakeShell final : public platform::IShell {
 public:
  struct Call {
    std::string operation, file, parameters, directory;
    platform::ShowAs show;
  };
  std::vector<Call> calls;
  std::intptr_t result = 42;

  std::intptr_t Execute(const std::string& operation, const std::string& file,
                        const std::string& parameters, const std::string& directory,
                        platform::ShowAs show) override {
    calls.push_back({operation, file, parameters, directory, show});
    return result;
  }
};

class FakeWindows final : public platform::IWindows {
 public:
  platform::WindowHandle found = 0;
  std::vector<std::string> calls;
  struct Window {
    platform::WindowHandle handle;
    std::uint32_t process;
    std::string title;
  };
  std::vector<Window> top_windows;
  std::vector<platform::WindowHandle> closed;

  void EnumTopWindows(const std::function<bool(platform::WindowHandle)>& visit) override {
    for (const Window& window : top_windows) {
      if (!visit(window.handle)) return;
    }
  }
  std::uint32_t WindowProcessId(platform::WindowHandle window) override {
    for (const Window& w : top_windows) {
      if (w.handle == window) return w.process;
    }
    return 0;
  }
  std::string WindowText(platform::WindowHandle window, std::size_t size) override {
    for (const Window& w : top_windows) {
      if (w.handle == window) return w.title.substr(0, size - 1);
    }
    return "";
  }
  void SendCloseWithTimeout(platform::WindowHandle window, int timeout_ms) override {
    calls.push_back("SendCloseWithTimeout " + std::to_string(window) + " " +
                    std::to_string(timeout_ms));
    closed.push_back(window);
  }

  platform::WindowHandle FindTopWindow(const std::string& class_name,
                                       const std::string& title) override {
    calls.push_back("FindTopWindow " + class_name + " " + title);
    return found;
  }
  bool PostClose(platform::WindowHandle window) override {
    calls.push_back("PostClose " + std::to_string(window));
    return true;
  }
  platform::WindowHandle foreground = 0;
  std::map<std::uint32_t, platform::IntegrityLevel> levels;  // 0: this process
  int level_reads = 0;
  int foreground_reads = 0;
  platform::WindowHandle ForegroundWindow() override {
    ++foreground_reads;
    return foreground;
  }
  platform::IntegrityLevel ProcessIntegrity(std::uint32_t process_id) override {
    ++level_reads;
    auto level = levels.find(process_id);
    return level == levels.end() ? platform::IntegrityLevel::Unknown : level->second;
  }
};

}  // namespace doubles
