#pragma once
// The host's questions and boxes as a recorder; the test answers them.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace doubles {

class FakeDialogs final : public platform::IDialogs {
 public:
  struct Question {
    platform::PromptText text;
    unsigned timeout_ms;
    std::function<void(platform::PromptAnswer)> answered;
  };
  std::map<int, Question> open;             // questions on screen, by id
  std::vector<platform::PromptText> asked;  // every question ever shown
  std::vector<std::string> confirmations;   // the text of each Yes/No box
  bool confirm = true;                      // the button the user picks there
  int next_id = 1;
  // The report window: its words while shown, how often it was brought up.
  std::optional<platform::ReportText> report;
  std::function<void(std::size_t)> report_pressed;
  int report_shown = 0;
  int report_changes = 0;

  int AskQuestion(const platform::PromptText& text, unsigned timeout_ms,
                  std::function<void(platform::PromptAnswer)> answered) override {
    asked.push_back(text);
    open[next_id] = {text, timeout_ms, std::move(answered)};
    return next_id++;
  }
  void CloseQuestion(int id) override { open.erase(id); }
  void ChangeQuestionLine(int id, std::size_t line, const std::string& text) override {
    if (open.count(id) && line < open[id].text.lines.size()) open[id].text.lines[line] = text;
  }
  void ShowReport(const platform::ReportText& text,
                  std::function<void(std::size_t)> pressed) override {
    report = text;
    report_pressed = std::move(pressed);
    ++report_shown;
  }
  void ChangeReport(const std::string& text) override {
    ++report_changes;
    if (report) report->text = text;
  }
  bool ReportShown() override { return report.has_value(); }
  void CloseReport() override { report.reset(); }
  // The user presses the report's button with this caption.
  void Press(const std::string& caption) {
    for (std::size_t i = 0; report && i < report->buttons.size(); ++i) {
      if (report->buttons[i] == caption) return report_pressed(i);
    }
  }
  void ShowPairing(const platform::PairingView& view, std::function<void(std::size_t)> chose,
                   std::function<void()> closed) override {
    pairing = view;
    pairing_chose = std::move(chose);
    pairing_closed = std::move(closed);
  }
  void ClosePairing() override { pairing.reset(); }
  bool PairingShown() override { return pairing.has_value(); }
  std::optional<platform::PairingView> pairing;
  std::function<void(std::size_t)> pairing_chose;
  std::function<void()> pairing_closed;

  bool Confirm(const std::string&, const std::string& text) override {
    confirmations.push_back(text);
    return confirm;
  }
  // The user answers the question that is open (the only one, or the first).
  void Answer(platform::PromptAnswer answer) {
    if (open.empty()) return;
    auto question = open.begin()->second;
    open.erase(open.begin());
    question.answered(answer);
  }
};

}  // namespace doubles
