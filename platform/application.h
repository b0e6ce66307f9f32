#pragma once
// Windows and messages family: the framework's application object as the main
// form relies on it (the hidden application window, the message loop, the
// error box).
#include <functional>
#include <memory>
#include <string>

#include "platform/signal.h"

namespace platform {

// The hidden application window, by which other programs find a running copy.
inline constexpr char kApplicationWindowClass[] = "TApplication";
inline constexpr char kApplicationTitle[] = "Mirovanta2";

class TApplication {
 public:
  struct TMainFormEvents {
    std::function<void()> OnActivate;  // the main form was activated
    std::function<void()> OnWake;      // the main thread was woken for waiting work
    // Another program asked the application window to close (WM_CLOSE).
    std::function<void()> OnCloseRequest;
  };

  virtual ~TApplication() = default;
  virtual void Initialize() = 0;
  virtual void AttachMainForm(TMainFormEvents events) = 0;
  // Shows the main form and dispatches messages until termination is requested.
  virtual void Run() = 0;
  virtual void Minimize() = 0;
  virtual void Terminate() = 0;
  // Hides the application's own top-level window, and with it its taskbar button.
  virtual void HideApplicationWindow() = 0;
  // Callable from any thread: the main thread runs OnWake soon after.
  virtual void WakeMainThread() = 0;
  // A signal for a thread that waits until the main thread has done its work:
  // the system's cheapest kind.
  virtual std::unique_ptr<ISignal> NewSignal() { return std::make_unique<TConditionSignal>(); }
  // The modal error box with the application title as caption.
  virtual void ShowException(const std::string& message) = 0;
  // Full path of the running executable.
  virtual std::string ExeName() = 0;
};

}  // namespace platform
