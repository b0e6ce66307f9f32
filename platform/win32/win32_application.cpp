#include "platform/win32/win32_application.h"

#include "platform/framework_error.h"
#include "platform/win32/win32_signal.h"

namespace platform::win32 {
namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
constexpr const char* kAppClass = kApplicationWindowClass;
constexpr char kFormClass[] = "TForm1";
constexpr const char* kTitle = kApplicationTitle;

Win32Application* FromWindow(HWND window) {
  return HiddenWindow::OwnerOf<Win32Application>(window);
}

HICON ApplicationIcon() { return LoadIconA(GetModuleHandleA(nullptr), "MAINICON"); }

}  // namespace

void Win32Application::Initialize() {
  // Never shown, and a tool window: the program has no taskbar button.
  if (!app_window_.Create(kAppClass, AppWindowProc, this, HiddenWindow::Kind::TopLevel,
                          {WS_EX_TOOLWINDOW, kTitle, ApplicationIcon(), {}})) {
    throw EFrameworkError("Cannot create the application window");
  }
}

void Win32Application::AttachMainForm(TMainFormEvents events) { events_ = std::move(events); }

// The main form: at its stored place and size, fully transparent, passing the
// mouse through, and without a taskbar button.
void Win32Application::CreateMainFormWindow() {
  // The form is never shown: without its window only its activation event is
  // lost, and the program serves on.
  if (!form_window_.Create(kFormClass, FormWindowProc, this, HiddenWindow::Kind::TopLevel,
                           {WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW,
                            "Form1",
                            ApplicationIcon(),
                            {192, 114, 192 + 168, 114 + 64}})) {
    return;
  }
  SetLayeredWindowAttributes(form_window_.Get(), 0, 0, LWA_ALPHA);
}

void Win32Application::Run() {
  // The main form stays hidden: fully transparent, it would show nothing, and
  // where the display cannot blend (Wine without a compositor) it would show
  // as a black box and take the focus at start.
  if (!terminated_) CreateMainFormWindow();
  wake_event_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  while (WaitForWork()) {
  }
  loop_waiting_ = false;
  form_window_.Destroy();
}

// One turn of the message loop: a wake-up is taken straight from its event,
// without a message, which saves the handed-over command two trips through the
// window system; messages are dispatched as usual. False once WM_QUIT came.
bool Win32Application::WaitForWork() {
  HANDLE wake = wake_event_.get();
  loop_waiting_ = wake != nullptr;
  const DWORD woke = MsgWaitForMultipleObjectsEx(wake != nullptr ? 1 : 0, &wake, INFINITE,
                                                 QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  loop_waiting_ = false;
  if (wake != nullptr && woke == WAIT_OBJECT_0) {
    if (events_.OnWake) Guarded(events_.OnWake);
    return true;
  }
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

void Win32Application::Minimize() {
  // The application window is never shown, so there is no taskbar button to
  // minimise; the form stays invisible all the same.
}

void Win32Application::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void Win32Application::HideApplicationWindow() { ShowWindow(app_window_.Get(), SW_HIDE); }

void Win32Application::WakeMainThread() {
  // While the loop waits, its event wakes it. Anywhere else (a handler running,
  // a menu or a message box with their own loops) a message does, which every
  // loop dispatches. One wake-up in the queue is enough: the handler runs
  // everything that waits. A post that fails (a full queue) must not leave the
  // flag set, or no wake-up would ever be posted again.
  if (loop_waiting_ && SetEvent(wake_event_.get())) return;
  if (!wake_posted_.exchange(true) && !PostMessageA(app_window_.Get(), kWakeMessage, 0, 0)) {
    wake_posted_ = false;
  }
}

std::unique_ptr<ISignal> Win32Application::NewSignal() { return std::make_unique<Win32Signal>(); }

void Win32Application::ShowException(const std::string& message) {
  std::string text = ExceptionDisplayText(message);
  MessageBoxA(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

std::string Win32Application::ExeName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// An error that escapes a handler is shown in the error box and the loop goes on.
template <typename F>
void Win32Application::Guarded(F&& handler) {
  try {
    handler();
  } catch (const EFrameworkError& error) {
    ShowException(error.what());
  } catch (...) {
    ShowException("");
  }
}

LRESULT CALLBACK Win32Application::AppWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  Win32Application* self = FromWindow(window);
  if (self != nullptr && message == kWakeMessage) {
    self->wake_posted_ = false;
    if (self->events_.OnWake) self->Guarded(self->events_.OnWake);
    return 0;
  }
  if (self != nullptr && message == WM_CLOSE) {
    // Another program (the installer, "Mirovanta2.exe /exit") asks the running
    // copy to end: the main form answers as its "Exit" item does. The window
    // itself is never destroyed here; it goes with the application.
    if (self->events_.OnCloseRequest) {
      self->Guarded(self->events_.OnCloseRequest);
    } else {
      self->Terminate();
    }
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

LRESULT CALLBACK Win32Application::FormWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  Win32Application* self = FromWindow(window);
  if (self != nullptr && message == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) {
    if (self->events_.OnActivate) self->Guarded(self->events_.OnActivate);
  }
  if (self != nullptr && message == WM_CLOSE) {
    // Closing the main form ends the application.
    self->Terminate();
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
