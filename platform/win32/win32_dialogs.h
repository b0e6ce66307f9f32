#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/dialogs.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {

// Questions as small top-level windows of the main thread (modeless: the
// message loop, and with it the handling of datagrams, goes on), and the
// system's message box for confirmations.
class Win32Dialogs final : public IDialogs {
 public:
  ~Win32Dialogs() override;
  int AskQuestion(const PromptText& text, unsigned timeout_ms,
                  std::function<void(PromptAnswer)> answered) override;
  void CloseQuestion(int id) override;
  void ChangeQuestionLine(int id, std::size_t line, const std::string& text) override;
  bool Confirm(const std::string& caption, const std::string& text) override;
  // In win32_report.cpp.
  void ShowReport(const ReportText& report, std::function<void(std::size_t)> pressed) override;
  void ChangeReport(const std::string& text) override;
  bool ReportShown() override;
  void CloseReport() override;
  // In win32_pairing.cpp.
  void ShowPairing(const PairingView& view, std::function<void(std::size_t)> chose,
                   std::function<void()> closed) override;
  void ClosePairing() override;
  bool PairingShown() override;

 private:
  struct Question {
    UniqueWindow window;
    std::function<void(PromptAnswer)> answered;
    std::vector<HWND> lines;  // children of `window`, gone with it
  };
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK ReportProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  bool EnsureClass();
  bool CreateReport(const ReportText& report);
  void LayOutReport();
  static LRESULT CALLBACK PairingProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  bool CreatePairing();
  void LayOutPairing();
  void PaintPairing();
  void Answer(HWND window, PromptAnswer answer);

  std::unique_ptr<WindowClass> class_;
  std::map<int, Question> questions_;  // destroyed before the class goes
  int next_id_ = 1;
  std::unique_ptr<WindowClass> report_class_;
  UniqueWindow report_;         // destroyed before its class goes
  HWND report_text_ = nullptr;  // children of `report_`, gone with it
  std::vector<HWND> report_buttons_;
  std::function<void(std::size_t)> report_pressed_;
  std::unique_ptr<WindowClass> pairing_class_;
  UniqueWindow pairing_;  // destroyed before its class goes
  HWND pairing_words_ = nullptr, pairing_choice_ = nullptr, pairing_text_ = nullptr;
  HWND pairing_note_ = nullptr, pairing_close_ = nullptr;  // children of `pairing_`
  RECT pairing_code_{};
  PairingView pairing_view_;
  std::function<void(std::size_t)> pairing_chose_;
  std::function<void()> pairing_closed_;
};

}  // namespace platform::win32
