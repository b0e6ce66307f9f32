// The pairing window: the words, a choice of address when there are several,
// the QR code drawn module by module (dark on white, 6 pixels a module), the
// address it holds as selectable text, a note and "Close".
#include <algorithm>

#include "platform/win32/win32_dialog_parts.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

constexpr char kPairingClass[] = "TMirovantaPairing";
constexpr int kModulePixels = 6;
constexpr int kMargin = 14;
constexpr int kWidth = 460;
constexpr int kWordsHeight = 52;
constexpr int kChoiceHeight = 200;  // the drop-down list's, open
constexpr int kRowHeight = 24;
constexpr int kChoiceId = 10;
constexpr int kCloseId = 11;

}  // namespace

bool Win32Dialogs::CreatePairing() {
  if (!pairing_class_) {
    pairing_class_ = DialogClass(kPairingClass, PairingProcedure);
  }
  if (!pairing_class_->Registered()) return false;
  pairing_.reset(CreateWindowExA(0, kPairingClass, "", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                 CW_USEDEFAULT, CW_USEDEFAULT, kWidth, 600, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr));
  if (!pairing_) return false;
  SetWindowLongPtrA(pairing_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  pairing_words_ = DialogChild(pairing_.get(), L"STATIC", L"", SS_LEFT, 0);
  pairing_choice_ = DialogChild(pairing_.get(), L"COMBOBOX", L"",
                                CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kChoiceId);
  pairing_text_ = DialogChild(pairing_.get(), L"EDIT", L"",
                              WS_BORDER | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, 0);
  pairing_note_ = DialogChild(pairing_.get(), L"STATIC", L"", SS_LEFT, 0);
  pairing_close_ =
      DialogChild(pairing_.get(), L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, kCloseId);
  return true;
}

// Top to bottom: words, the choice (when there is one), the code, its text,
// the note, Close. The window is as tall as they need.
void Win32Dialogs::LayOutPairing() {
  const int inner = kWidth - 2 * kMargin - 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
  int y = kMargin;
  MoveWindow(pairing_words_, kMargin, y, inner, kWordsHeight, TRUE);
  y += kWordsHeight + 6;
  const bool choosing = pairing_view_.choices.size() > 1;
  ShowWindow(pairing_choice_, choosing ? SW_SHOW : SW_HIDE);
  if (choosing) {
    MoveWindow(pairing_choice_, kMargin, y, inner, kChoiceHeight, TRUE);
    y += kRowHeight + 8;
  }
  const int code = pairing_view_.modules * kModulePixels;
  pairing_code_ = {kMargin + (inner - code) / 2, y, kMargin + (inner - code) / 2 + code, y + code};
  y += code + 8;
  MoveWindow(pairing_text_, kMargin, y, inner, kRowHeight, TRUE);
  y += kRowHeight + 6;
  MoveWindow(pairing_note_, kMargin, y, inner, 2 * kRowHeight, TRUE);
  y += 2 * kRowHeight + 6;
  MoveWindow(pairing_close_, kMargin + inner - 88, y, 88, 28, TRUE);
  y += 28 + kMargin;
  RECT outer{0, 0, kWidth, y};
  AdjustWindowRect(&outer, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
  SetWindowPos(pairing_.get(), nullptr, 0, 0, kWidth, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Dialogs::ShowPairing(const PairingView& view, std::function<void(std::size_t)> chose,
                               std::function<void()> closed) {
  const bool fresh = !pairing_;
  if (fresh && !CreatePairing()) return;
  pairing_chose_ = std::move(chose);
  pairing_closed_ = std::move(closed);
  SetWindowTextW(pairing_.get(), Utf8ToWide(view.caption).c_str());
  SetWindowTextW(pairing_words_, Utf8ToWide(view.words).c_str());
  SetWindowTextW(pairing_text_, Utf8ToWide(view.text).c_str());
  SetWindowTextW(pairing_note_, Utf8ToWide(view.note).c_str());
  // A choice being made (the list open, a key moving through it) keeps its
  // list: only new addresses fill it again.
  if (fresh || view.choices != pairing_view_.choices) {
    SendMessageW(pairing_choice_, CB_RESETCONTENT, 0, 0);
    for (const std::string& choice : view.choices) {
      SendMessageW(pairing_choice_, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(Utf8ToWide(choice).c_str()));
    }
  }
  if (SendMessageW(pairing_choice_, CB_GETCURSEL, 0, 0) != static_cast<LRESULT>(view.chosen)) {
    SendMessageW(pairing_choice_, CB_SETCURSEL, view.chosen, 0);
  }
  pairing_view_ = view;
  LayOutPairing();
  InvalidateRect(pairing_.get(), nullptr, TRUE);
  if (fresh) {
    // Centred on the primary monitor's work area.
    RECT area{}, window{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(pairing_.get(), &window);
    SetWindowPos(pairing_.get(), nullptr,
                 area.left + (area.right - area.left - (window.right - window.left)) / 2,
                 area.top + (area.bottom - area.top - (window.bottom - window.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  }
  ShowWindow(pairing_.get(), SW_SHOW);
  SetForegroundWindow(pairing_.get());
}

void Win32Dialogs::PaintPairing() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(pairing_.get(), &paint);
  if (dc == nullptr) return;
  FillRect(dc, &pairing_code_, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const int size = pairing_view_.modules;
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      if (!pairing_view_.dark[static_cast<std::size_t>(row * size + column)]) continue;
      RECT module{pairing_code_.left + column * kModulePixels,
                  pairing_code_.top + row * kModulePixels,
                  pairing_code_.left + (column + 1) * kModulePixels,
                  pairing_code_.top + (row + 1) * kModulePixels};
      FillRect(dc, &module, black);
    }
  }
  EndPaint(pairing_.get(), &paint);
}

void Win32Dialogs::ClosePairing() {
  pairing_.reset();
  pairing_words_ = pairing_choice_ = pairing_text_ = pairing_note_ = pairing_close_ = nullptr;
}

bool Win32Dialogs::PairingShown() { return static_cast<bool>(pairing_); }

LRESULT CALLBACK Win32Dialogs::PairingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<Win32Dialogs*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr || self->pairing_.get() != window) {
    return DefWindowProcA(window, message, w, l);
  }
  switch (message) {
    case WM_PAINT: self->PaintPairing(); return 0;
    case WM_COMMAND:
      if (LOWORD(w) == kChoiceId && HIWORD(w) == CBN_SELCHANGE) {
        const LRESULT chosen = SendMessageW(self->pairing_choice_, CB_GETCURSEL, 0, 0);
        if (chosen >= 0 && self->pairing_chose_) {
          // The handler shows the new view, which replaces this one.
          auto chose = self->pairing_chose_;
          chose(static_cast<std::size_t>(chosen));
        }
        return 0;
      }
      if (LOWORD(w) == kCloseId || LOWORD(w) == IDCANCEL) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_CLOSE: {
      auto closed = self->pairing_closed_;
      self->ClosePairing();
      if (closed) closed();
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
