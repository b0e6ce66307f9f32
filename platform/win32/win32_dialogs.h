#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>

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
  void ChangeQuestionLine(int id, const std::string& line1) override;
  bool Confirm(const std::string& caption, const std::string& text) override;

 private:
  struct Question {
    UniqueWindow window;
    std::function<void(PromptAnswer)> answered;
    HWND line1 = nullptr;  // a child of `window`, gone with it
  };
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  bool EnsureClass();
  void Answer(HWND window, PromptAnswer answer);

  std::unique_ptr<WindowClass> class_;
  std::map<int, Question> questions_;  // destroyed before the class goes
  int next_id_ = 1;
};

}  // namespace platform::win32
