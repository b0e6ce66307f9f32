#pragma once
// The notification-area icon component and its popup menu.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/shell.h"
#include "service/menu_item.h"

namespace shell {

using service::TMenuItem;

inline constexpr const char* kCannotCreateTrayIcon = "Cannot Create System Shell Notification Icon";
inline constexpr const char* kTip = "Mirovanta 2";

enum class TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

class TPopupMenu {
 public:
  std::vector<TMenuItem*> Items;
  // Just before the menu is shown: its rows draw their captions and marks.
  std::function<void()> OnPopup;
  // Shows the menu at (x, y); a chosen check item flips its mark before its
  // click handler runs.
  void Popup(platform::INotificationArea& area, int x, int y);
};

class TTrayIcon {
 public:
  static constexpr unsigned kBalloonTimeoutMs = 5000;

  explicit TTrayIcon(platform::INotificationArea& area);
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  TPopupMenu* PopupMenu = nullptr;
  std::function<void(TMouseButton button, int x, int y)> OnMouseDown;

  // Adds the icon; throws "Cannot Create System Shell Notification Icon".
  void Show();
  // Puts the application's icon on it once loading is done.
  void SetApplicationIcon();
  void ShowBalloon(const std::string& title, const std::string& text);
  // The icon's variant and its tip; the shell is told only of a change.
  void SetLook(platform::TrayIconState state, const std::string& tip);
  // Puts the icon back where the shell lost it (after sleep), as it was.
  void Restore();
  // Every event of the icon and its window comes here.
  void HandleEvent(const platform::TrayEvent& event);

 private:
  bool Add();
  void Remove();

  platform::INotificationArea& area_;
  bool shown_ = false;   // the shell has the icon
  bool wanted_ = false;  // the icon is to be there (also after an Explorer restart)
  platform::TrayIconState state_ = platform::TrayIconState::Normal;
  std::string tip_ = kTip;
};

}  // namespace shell
