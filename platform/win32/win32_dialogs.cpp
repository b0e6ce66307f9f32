#include "platform/win32/win32_dialogs.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TMirovantaQuestion";
constexpr int kYesId = 1;
constexpr int kNoId = 2;
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT_PTR kArmTimer = 2;
constexpr int kWidth = 440;
constexpr int kHeight = 200;

HWND Child(HWND parent, const char* window_class, const std::string& text, DWORD style, int x,
           int y, int width, int height, int id) {
  HWND child = CreateWindowExA(
      0, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (child != nullptr) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
  }
  return child;
}

}  // namespace

Win32Dialogs::~Win32Dialogs() {
  questions_.clear();
  report_.reset();
}

bool Win32Dialogs::EnsureClass() {
  if (class_) return class_->Registered();
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClass;
  window_class.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  class_ = std::make_unique<WindowClass>(window_class);
  return class_->Registered();
}

int Win32Dialogs::AskQuestion(const PromptText& text, unsigned timeout_ms,
                              std::function<void(PromptAnswer)> answered) {
  // Without its window the question cannot be asked: it counts as closed, so
  // the device is not left waiting for an answer that cannot come.
  if (!EnsureClass()) {
    answered(PromptAnswer::Closed);
    return 0;
  }
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const int x = area.left + (area.right - area.left - kWidth) / 2;
  const int y = area.top + (area.bottom - area.top - kHeight) / 2;
  UniqueWindow window(CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kClass,
                                      text.caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, x,
                                      y, kWidth, kHeight, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
  if (!window) {
    answered(PromptAnswer::Closed);
    return 0;
  }
  SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  RECT client{};
  GetClientRect(window.get(), &client);
  const int inner = client.right - 32;
  // SS_NOPREFIX: an "&" in a device's name is shown as itself.
  HWND line1 =
      Child(window.get(), "STATIC", text.line1, SS_LEFT | SS_NOPREFIX, 16, 14, inner, 20, 0);
  Child(window.get(), "STATIC", text.line2, SS_LEFT | SS_NOPREFIX, 16, 38, inner, 20, 0);
  Child(window.get(), "STATIC", text.note, SS_LEFT | SS_NOPREFIX, 16, 66, inner, 34, 0);
  // A disabled button takes neither a click nor a key; it is armed by a timer.
  const DWORD armed = text.yes_armed_after_ms > 0 ? WS_DISABLED : 0;
  Child(window.get(), "BUTTON", text.yes, BS_PUSHBUTTON | WS_TABSTOP | armed, client.right - 216,
        client.bottom - 44, 96, 28, kYesId);
  Child(window.get(), "BUTTON", text.no, BS_PUSHBUTTON | WS_TABSTOP, client.right - 112,
        client.bottom - 44, 96, 28, kNoId);
  SetTimer(window.get(), kTimeoutTimer, timeout_ms, nullptr);
  if (armed != 0) SetTimer(window.get(), kArmTimer, text.yes_armed_after_ms, nullptr);
  // In front of everything, but the user's window keeps the keyboard.
  ShowWindow(window.get(), SW_SHOWNOACTIVATE);
  SetWindowPos(window.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int id = next_id_++;
  questions_[id] = {std::move(window), std::move(answered), line1};
  return id;
}

void Win32Dialogs::CloseQuestion(int id) { questions_.erase(id); }

void Win32Dialogs::ChangeQuestionLine(int id, const std::string& line1) {
  auto found = questions_.find(id);
  if (found != questions_.end() && found->second.line1 != nullptr) {
    SetWindowTextA(found->second.line1, line1.c_str());
  }
}

void Win32Dialogs::Answer(HWND window, PromptAnswer answer) {
  for (auto it = questions_.begin(); it != questions_.end(); ++it) {
    if (it->second.window.get() != window) continue;
    // Gone from the list and the screen before the answer runs, which may ask anew.
    auto answered = std::move(it->second.answered);
    questions_.erase(it);
    if (answered) answered(answer);
    return;
  }
}

bool Win32Dialogs::Confirm(const std::string& caption, const std::string& text) {
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_TOPMOST | MB_SETFOREGROUND) == IDYES;
}

LRESULT CALLBACK Win32Dialogs::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<Win32Dialogs*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr) {
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(w) == kNoId) {
          self->Answer(window, PromptAnswer::No);
          return 0;
        }
        // A click that was on its way while the button was greyed counts for nothing.
        if (LOWORD(w) == kYesId && IsWindowEnabled(GetDlgItem(window, kYesId))) {
          self->Answer(window, PromptAnswer::Yes);
          return 0;
        }
        break;
      case WM_TIMER:
        if (w == kTimeoutTimer) {
          self->Answer(window, PromptAnswer::TimedOut);
          return 0;
        }
        if (w == kArmTimer) {
          KillTimer(window, kArmTimer);
          EnableWindow(GetDlgItem(window, kYesId), TRUE);
          return 0;
        }
        break;
      case WM_CLOSE: self->Answer(window, PromptAnswer::Closed); return 0;
      default: break;
    }
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
