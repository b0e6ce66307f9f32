#pragma once
// Windows and messages family: the host's own small windows and boxes.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class PromptAnswer { Yes, No, Other, Closed, TimedOut };

struct PromptText {
  std::string caption;
  std::string heading;             // above the lines, in bold; "" for none
  std::vector<std::string> lines;  // one line each, shown as written ("&" too)
  std::string note;                // smaller print under the lines, may wrap
  std::string yes;                 // the buttons, left to right: "Yes"
  std::string no;                  // "No"
  std::string other;               // "Other", "" for no third button
  // The Yes button is greyed and takes no click or key until this long
  // after the window appeared; the others work at once.
  unsigned yes_armed_after_ms = 0;
};

// A window of text to read and copy, with a row of buttons under it.
struct ReportText {
  std::string caption;
  std::string text;  // UTF-8, lines ending in "\n"
  std::vector<std::string> buttons;
};

// The window that pairs a browser: words, a QR code with the address it
// holds under it as text that can be selected, a note, and a choice of the
// PC's addresses when it has several.
struct PairingView {
  std::string caption;
  std::string words;                 // above the code, may wrap
  std::vector<std::string> choices;  // the addresses; no choice is shown for one
  std::size_t chosen = 0;
  int modules = 0;         // the code's modules a side, quiet zone included
  std::vector<bool> dark;  // row by row
  std::string text;        // what the code holds
  std::string note;        // under the text
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // A small top-most window, centred on the primary monitor unless the
  // pointer is there (then beside it, see PlaceAwayFrom), and shown without
  // taking the keyboard focus from the user's window. It does not block:
  // `answered` runs later on the main thread, once, with the button chosen,
  // Closed when the window was closed, or TimedOut after `timeout_ms`.
  // Returns an id for CloseQuestion.
  virtual int AskQuestion(const PromptText& text, unsigned timeout_ms,
                          std::function<void(PromptAnswer)> answered) = 0;
  // Takes a question away without an answer.
  virtual void CloseQuestion(int id) = 0;
  // Puts new words in one of a question's lines while it is open.
  virtual void ChangeQuestionLine(int id, std::size_t line, const std::string& text) = 0;
  // The one report window: shown and brought to the front with these words,
  // or, when it is open already, brought to the front with its words
  // replaced. `pressed` runs on the main thread with the index of a button.
  virtual void ShowReport(const ReportText& report, std::function<void(std::size_t)> pressed) = 0;
  // Replaces the open report's words without bringing it forward.
  virtual void ChangeReport(const std::string& text) = 0;
  virtual bool ReportShown() = 0;
  virtual void CloseReport() = 0;
  // The one pairing window, shown and brought to the front, or its view
  // replaced when it is open. `chose` runs on the main thread with the index
  // of the address chosen, `closed` when the user closed the window.
  virtual void ShowPairing(const PairingView& view, std::function<void(std::size_t)> chose,
                           std::function<void()> closed) = 0;
  virtual void ClosePairing() = 0;
  virtual bool PairingShown() = 0;
  // A modal box with Yes and No; true for Yes.
  virtual bool Confirm(const std::string& caption, const std::string& text) = 0;
};

}  // namespace platform
