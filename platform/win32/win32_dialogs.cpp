#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_dialog_parts.h"

#include "platform/win32/win32_text.h"
#include "platform/window_place.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TMirovantaQuestion";
constexpr int kYesId = 1;
constexpr int kNoId = 2;
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT_PTR kArmTimer = 2;
constexpr int kOtherId = 3;
constexpr int kWidth = 460;
constexpr int kMargin = 16;
constexpr int kHeadingHeight = 26;
constexpr int kLineHeight = 20;
constexpr int kNoteHeight = 42;
constexpr int kButtonRow = 56;
constexpr int kButtonWidth = 96;
constexpr int kPointerMargin = 24;

// UTF-16 text: a device's name may hold any letter.
HWND Child(HWND parent, const wchar_t* window_class, const std::string& text, DWORD style, int x,
           int y, int width, int height, int id) {
  HWND child =
      CreateWindowExW(0, window_class, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x,
                      y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleA(nullptr), nullptr);
  if (child != nullptr) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
  }
  return child;
}

// The default GUI font in bold, made once and kept for the program's life.
HFONT BoldFont() {
  static HFONT bold = [] {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&font);
  }();
  return bold;
}

// The window's outer size for these lines, from the client area it needs.
SIZE QuestionSize(const PromptText& text) {
  const int heading = text.heading.empty() ? 0 : kHeadingHeight;
  const int client_height = kMargin + heading + kLineHeight * static_cast<int>(text.lines.size()) +
                            kNoteHeight + kButtonRow;
  RECT outer{0, 0, kWidth, client_height};
  AdjustWindowRectEx(&outer, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE,
                     WS_EX_TOPMOST | WS_EX_DLGMODALFRAME);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

// Centred, or away from the pointer: the click that answered the last
// question, or one on its way, must not land on this one.
RECT QuestionPlace(SIZE size) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  POINT pointer{work.left - 10000, work.top - 10000};  // none: never near
  GetCursorPos(&pointer);
  const Rect place = PlaceAwayFrom({work.left, work.top, work.right, work.bottom}, size.cx, size.cy,
                                   pointer.x, pointer.y, kPointerMargin);
  return {place.left, place.top, place.right, place.bottom};
}

}  // namespace

Win32Dialogs::~Win32Dialogs() {
  questions_.clear();
  report_.reset();
}

bool Win32Dialogs::EnsureClass() {
  if (class_) return class_->Registered();
  class_ = DialogClass(kClass, Procedure);
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
  const RECT place = QuestionPlace(QuestionSize(text));
  UniqueWindow window(CreateWindowExA(
      WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kClass, text.caption.c_str(),
      WS_POPUP | WS_CAPTION | WS_SYSMENU, place.left, place.top, place.right - place.left,
      place.bottom - place.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!window) {
    answered(PromptAnswer::Closed);
    return 0;
  }
  SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Question question{std::move(window), std::move(answered), {}};
  HWND parent = question.window.get();
  RECT client{};
  GetClientRect(parent, &client);
  const int inner = client.right - 2 * kMargin;
  int y = kMargin;
  if (!text.heading.empty()) {
    HWND heading = Child(parent, L"STATIC", text.heading, SS_LEFT | SS_NOPREFIX, kMargin, y, inner,
                         kLineHeight, 0);
    SendMessageA(heading, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont()), TRUE);
    y += kHeadingHeight;
  }
  // SS_NOPREFIX: an "&" in a device's name is shown as itself.
  for (const std::string& line : text.lines) {
    question.lines.push_back(
        Child(parent, L"STATIC", line, SS_LEFT | SS_NOPREFIX, kMargin, y, inner, kLineHeight, 0));
    y += kLineHeight;
  }
  Child(parent, L"STATIC", text.note, SS_LEFT | SS_NOPREFIX, kMargin, y + 6, inner, kNoteHeight - 6,
        0);
  // A disabled button takes neither a click nor a key; it is armed by a timer.
  const DWORD armed = text.yes_armed_after_ms > 0 ? WS_DISABLED : 0;
  const int buttons_y = client.bottom - 44;
  int x = client.right - kMargin - kButtonWidth;
  Child(parent, L"BUTTON", text.no, BS_PUSHBUTTON | WS_TABSTOP, x, buttons_y, kButtonWidth, 28,
        kNoId);
  x -= kButtonWidth + 8;
  Child(parent, L"BUTTON", text.yes, BS_PUSHBUTTON | WS_TABSTOP | armed, x, buttons_y, kButtonWidth,
        28, kYesId);
  if (!text.other.empty()) {
    Child(parent, L"BUTTON", text.other, BS_PUSHBUTTON | WS_TABSTOP, kMargin, buttons_y,
          kButtonWidth + 40, 28, kOtherId);
  }
  SetTimer(parent, kTimeoutTimer, timeout_ms, nullptr);
  if (armed != 0) SetTimer(parent, kArmTimer, text.yes_armed_after_ms, nullptr);
  // In front of everything, but the user's window keeps the keyboard.
  ShowWindow(parent, SW_SHOWNOACTIVATE);
  SetWindowPos(parent, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int id = next_id_++;
  questions_[id] = std::move(question);
  return id;
}

void Win32Dialogs::CloseQuestion(int id) { questions_.erase(id); }

void Win32Dialogs::ChangeQuestionLine(int id, std::size_t line, const std::string& text) {
  auto found = questions_.find(id);
  if (found != questions_.end() && line < found->second.lines.size()) {
    SetWindowTextW(found->second.lines[line], Utf8ToWide(text).c_str());
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
        if (LOWORD(w) == kOtherId) {
          self->Answer(window, PromptAnswer::Other);
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
