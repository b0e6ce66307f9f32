#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/shell.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hidden_window.h"

namespace platform::win32 {

// The icon's own hidden top-level window (a message-only window would never
// hear "TaskbarCreated") and Shell_NotifyIconA.
class Win32NotificationArea final : public INotificationArea {
 public:
  // `show_error` is the application's error box.
  explicit Win32NotificationArea(std::function<void(const std::string&)> show_error)
      : show_error_(std::move(show_error)) {}
  void CreateIconWindow(Handler handler) override;
  void DestroyIconWindow() override;
  bool AddIcon(TrayIconState state, const std::string& tip) override;
  bool ChangeIcon(TrayIconState state, const std::string& tip) override;
  bool ShowBalloon(const std::string& title, const std::string& text, unsigned timeout_ms) override;
  void RemoveIcon() override;
  int TrackPopupMenu(const std::vector<MenuEntry>& entries, int x, int y) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  // The event a message of the icon's window means, if any.
  bool EventOf(UINT message, WPARAM w, LPARAM l, TrayEvent& event) const;
  NOTIFYICONDATAW Record(UINT flags) const;
  bool Notify(DWORD action, NOTIFYICONDATAW& record);
  std::function<void(const std::string&)> show_error_;
  HiddenWindow window_;  // top-level: it must hear "TaskbarCreated"
  Handler handler_;
  UINT taskbar_created_ = 0;
};

}  // namespace platform::win32
