// The report window: a read-only text that can be scrolled and selected, with
// a row of buttons under it. One at a time; a second show brings it forward.
#include "platform/win32/win32_dialog_parts.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_text.h"

#include <algorithm>

namespace platform::win32 {
namespace {

constexpr char kReportClass[] = "TMirovantaReport";
constexpr int kFirstButtonId = 100;
constexpr int kWidth = 680;
constexpr int kHeight = 520;
constexpr int kMargin = 12;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;

// An edit control breaks lines at CRLF only.
std::wstring EditText(const std::string& text) {
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 40);
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return Utf8ToWide(crlf);
}

}  // namespace

bool Win32Dialogs::CreateReport(const ReportText& report) {
  if (!report_class_) {
    report_class_ = DialogClass(kReportClass, ReportProcedure);
  }
  if (!report_class_->Registered()) return false;
  report_.reset(CreateWindowExA(0, kReportClass, report.caption.c_str(), WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr));
  if (!report_) return false;
  SetWindowLongPtrA(report_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  report_text_ = DialogChild(
      report_.get(), L"EDIT", L"",
      WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP, 0);
  report_buttons_.clear();
  for (std::size_t i = 0; i < report.buttons.size(); ++i) {
    report_buttons_.push_back(DialogChild(report_.get(), L"BUTTON", Utf8ToWide(report.buttons[i]),
                                          BS_PUSHBUTTON | WS_TABSTOP,
                                          kFirstButtonId + static_cast<int>(i)));
  }
  LayOutReport();
  return true;
}

// The text fills the window above a row of buttons at its bottom right, each
// as wide as its caption needs.
void Win32Dialogs::LayOutReport() {
  RECT client{};
  GetClientRect(report_.get(), &client);
  const int row_top = client.bottom - kMargin - kButtonHeight;
  int right = client.right - kMargin;
  WindowDc dc(report_text_);
  for (auto it = report_buttons_.rbegin(); it != report_buttons_.rend(); ++it) {
    wchar_t caption[128]{};
    const int length = GetWindowTextW(*it, caption, 128);
    SIZE size{};
    if (dc.get() != nullptr) {
      SelectObject(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
      GetTextExtentPoint32W(dc.get(), caption, length, &size);
    }
    const int width = std::max<int>(88, size.cx + 24);
    right -= width;
    MoveWindow(*it, right, row_top, width, kButtonHeight, TRUE);
    right -= kButtonGap;
  }
  MoveWindow(report_text_, kMargin, kMargin, client.right - 2 * kMargin, row_top - 2 * kMargin,
             TRUE);
}

void Win32Dialogs::ShowReport(const ReportText& report, std::function<void(std::size_t)> pressed) {
  if (!report_ && !CreateReport(report)) return;
  report_pressed_ = std::move(pressed);
  SetWindowTextW(report_text_, EditText(report.text).c_str());
  if (IsIconic(report_.get())) ShowWindow(report_.get(), SW_RESTORE);
  ShowWindow(report_.get(), SW_SHOW);
  SetForegroundWindow(report_.get());
}

void Win32Dialogs::ChangeReport(const std::string& text) {
  if (!report_) return;
  // Where the reader had scrolled to stays in view.
  const LRESULT first = SendMessageW(report_text_, EM_GETFIRSTVISIBLELINE, 0, 0);
  SetWindowTextW(report_text_, EditText(text).c_str());
  SendMessageW(report_text_, EM_LINESCROLL, 0, first);
}

bool Win32Dialogs::ReportShown() { return static_cast<bool>(report_); }

void Win32Dialogs::CloseReport() {
  report_.reset();
  report_text_ = nullptr;
  report_buttons_.clear();
}

LRESULT CALLBACK Win32Dialogs::ReportProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<Win32Dialogs*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && self->report_.get() == window) {
    switch (message) {
      case WM_COMMAND: {
        const int id = LOWORD(w);
        const auto index = static_cast<std::size_t>(id - kFirstButtonId);
        if (id >= kFirstButtonId && index < self->report_buttons_.size() && self->report_pressed_) {
          // The handler may close the window, and this procedure with it.
          auto pressed = self->report_pressed_;
          pressed(index);
          return 0;
        }
        break;
      }
      case WM_SIZE: self->LayOutReport(); return 0;
      case WM_CLOSE: self->CloseReport(); return 0;
      default: break;
    }
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
