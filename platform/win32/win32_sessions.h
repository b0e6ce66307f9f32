#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/sessions.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hidden_window.h"

namespace platform::win32 {

// Sleep and wake reach every top-level window; the session's changes reach
// the one registered for them. One hidden top-level window hears both.
class Win32Sessions final : public ISessions {
 public:
  // `pretend_session`, for the end-to-end tests only: this host acts as one
  // of that session, which is not the console's (two hosts under one Wine).
  explicit Win32Sessions(std::optional<std::uint32_t> pretend_session = std::nullopt);
  ~Win32Sessions() override;
  bool Watch(std::function<void(SessionChange)> changed) override;
  void Unwatch() override;
  bool AtConsole() override;
  bool LockedNow() override;
  bool HoldPortsName() override;
  void ReleasePortsName() override;
  bool PortsNameHeldElsewhere() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  void Tell(SessionChange change);
  DWORD OwnSession() const;

  std::optional<std::uint32_t> pretend_session_;
  HiddenWindow window_;
  std::function<void(SessionChange)> changed_;
  bool registered_ = false;
  UniqueHandle ports_name_;
};

}  // namespace platform::win32
