#pragma once
// Shell and notification area family.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

inline constexpr int kShowNormal = 5;      // SW_SHOW
inline constexpr int kShowMaximized = 3;   // SW_SHOWMAXIMIZED

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecuteA: above 32 when the start was made, else the error code.
  virtual std::intptr_t Execute(const std::string& operation, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int show) = 0;
};

// Shell_NotifyIconA actions and the fields of its record the host fills.
inline constexpr unsigned kNotifyAdd = 0;
inline constexpr unsigned kNotifyModify = 1;
inline constexpr unsigned kNotifyDelete = 2;
inline constexpr std::uint32_t kNotifyMessage = 0x01;  // NIF_MESSAGE
inline constexpr std::uint32_t kNotifyIcon = 0x02;     // NIF_ICON
inline constexpr std::uint32_t kNotifyInfo = 0x10;     // NIF_INFO
inline constexpr std::uint32_t kInfoIcon = 1;          // NIIF_INFO

inline constexpr std::uint32_t kNotifyTip = 0x04;      // NIF_TIP

struct TrayIconData {
  std::uint32_t flags = 0;
  unsigned callback_message = 0;
  bool with_icon = false;  // the application's main icon
  bool paused_icon = false;  // its paused variant instead
  std::string tip;         // the icon's tool tip, at most 127 characters
  std::string info;        // balloon text, at most 255 characters
  std::string info_title;  // balloon title, at most 63 characters
  unsigned timeout_ms = 0;
  std::uint32_t info_flags = 0;
};

struct MenuEntry {
  std::string caption;  // "-" is a separator
  bool checked = false;
  bool enabled = true;
  std::vector<MenuEntry> children;  // a submenu when not empty
};

// Window messages the tray reacts to.
inline constexpr unsigned kMessageQueryEndSession = 0x0011;
inline constexpr unsigned kMessageEndSession = 0x0016;
inline constexpr unsigned kMessageLeftButtonDown = 0x0201;
inline constexpr unsigned kMessageRightButtonDown = 0x0204;
inline constexpr unsigned kMessageRightButtonUp = 0x0205;
inline constexpr unsigned kMessageMiddleButtonDown = 0x0207;

class INotificationArea {
 public:
  using Handler = std::function<std::intptr_t(unsigned message, std::uintptr_t w, std::intptr_t l,
                                              bool& handled)>;
  virtual ~INotificationArea() = default;
  // The hidden top-level window that owns the icon; every message it gets goes
  // to `handler` first.
  virtual void CreateIconWindow(Handler handler) = 0;
  virtual void DestroyIconWindow() = 0;
  virtual bool Notify(unsigned action, const TrayIconData& data) = 0;
  // The message Explorer broadcasts when it (re)creates the taskbar.
  virtual unsigned TaskbarCreatedMessage() = 0;
  // Brings the icon window to the front, shows the menu at (x, y) and returns
  // the index of the chosen entry, or -1. Entries are counted depth first,
  // submenus and their entries included.
  virtual int TrackPopupMenu(const std::vector<MenuEntry>& entries, int x, int y) = 0;
};

// A shell link being written through COM; one per click.
class ILinkSession {
 public:
  virtual ~ILinkSession() = default;
  // Saves the link at `path` (as IPersistFile::Save); false only when the link
  // has no IPersistFile, which rules out any further save.
  virtual bool SaveAs(const std::string& path) = 0;
};

class IShellLinks {
 public:
  virtual ~IShellLinks() = default;
  // A link to `target` described by `description`; nothing when COM or the
  // shell link object cannot be had.
  virtual std::unique_ptr<ILinkSession> Begin(const std::string& target,
                                              const std::string& description) = 0;
};

}  // namespace platform
