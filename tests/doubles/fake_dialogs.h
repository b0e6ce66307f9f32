#pragma once
// The host's questions and boxes as a recorder; the test answers them.
#include <functional>
#include <map>
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

  int AskQuestion(const platform::PromptText& text, unsigned timeout_ms,
                  std::function<void(platform::PromptAnswer)> answered) override {
    asked.push_back(text);
    open[next_id] = {text, timeout_ms, std::move(answered)};
    return next_id++;
  }
  void CloseQuestion(int id) override { open.erase(id); }
  void ChangeQuestionLine(int id, const std::string& line1) override {
    if (open.count(id)) open[id].text.line1 = line1;
  }
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
