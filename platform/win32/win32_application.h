#pragma once
#include <windows.h>

#include <atomic>
#include <memory>

#include "platform/application.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hidden_window.h"

namespace platform::win32 {

// The application object: a hidden top-level window that receives the wake-up
// messages, the invisible main form window, the message loop and the error box.
class Win32Application final : public TApplication {
 public:
  void Initialize() override;
  void AttachMainForm(TMainFormEvents events) override;
  void Run() override;
  void Minimize() override;
  void Terminate() override;
  void HideApplicationWindow() override;
  void WakeMainThread() override;
  std::unique_ptr<ISignal> NewSignal() override;
  void ShowException(const std::string& message) override;
  std::string ExeName() override;

  HWND Handle() const { return app_window_.Get(); }

 private:
  static LRESULT CALLBACK AppWindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  void CreateMainFormWindow();
  bool WaitForWork();
  template <typename F>
  void Guarded(F&& handler);

  // The classes outlive their windows: members go in reverse order.
  HiddenWindow app_window_;
  HiddenWindow form_window_;
  TMainFormEvents events_;
  std::atomic<bool> wake_posted_{false};
  UniqueHandle wake_event_;
  std::atomic<bool> loop_waiting_{false};
  bool terminated_ = false;
};

}  // namespace platform::win32
