#pragma once
// Shell and notification area family.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// How a started program's window first appears.
enum class ShowAs { Normal, Maximized };

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecuteA: above 32 when the start was made, else the error code.
  virtual std::intptr_t Execute(const std::string& operation, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                ShowAs show) = 0;
};

// The icon's look: the application's icon, or its paused variant.
// IShell::Execute answers as ShellExecute does: above 32 when it started.
inline bool Started(std::intptr_t execute_result) { return execute_result > 32; }

enum class TrayIconState { Normal, Paused, InUse };

enum class TrayButton { Left, Right, Middle };

// What happens to the icon and its window, as the host needs to know it.
struct TrayEvent {
  enum class Kind {
    ButtonDown,           // `button` pressed on the icon
    MenuRequested,        // the menu is asked for (the right button released)
    TaskbarRecreated,     // Explorer (re)created the taskbar: the icon is gone
    SessionEnding,        // the logon session ends for good
    SessionEndCancelled,  // a logoff was cancelled: the session goes on
  };
  Kind kind = Kind::ButtonDown;
  TrayButton button = TrayButton::Left;
  // The pointer's screen position when it happened (negative on monitors
  // left of or above the primary one).
  int x = 0;
  int y = 0;
};

struct MenuEntry {
  std::string caption;  // "-" is a separator
  bool checked = false;
  bool enabled = true;
  std::vector<MenuEntry> children;  // a submenu when not empty
};

class INotificationArea {
 public:
  using Handler = std::function<void(const TrayEvent& event)>;
  virtual ~INotificationArea() = default;
  // The hidden top-level window that owns the icon; its events go to `handler`.
  virtual void CreateIconWindow(Handler handler) = 0;
  virtual void DestroyIconWindow() = 0;
  // Puts the icon in the notification area; false when the shell refuses.
  virtual bool AddIcon(TrayIconState state, const std::string& tip) = 0;
  // Changes the icon's look and tip (at most 127 characters; "" for none).
  virtual bool ChangeIcon(TrayIconState state, const std::string& tip) = 0;
  // A balloon from the icon with the information sign; title at most 63
  // characters, text at most 255.
  virtual bool ShowBalloon(const std::string& title, const std::string& text,
                           unsigned timeout_ms) = 0;
  virtual void RemoveIcon() = 0;
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
