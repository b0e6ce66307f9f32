#pragma once
// The application object as a recorder; the test itself plays the message loop.
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/processes.h"

namespace doubles {

class FakeApplication final : public platform::TApplication {
 public:
  std::vector<std::string> calls;
  TMainFormEvents events;
  std::string exe_name = "C:\\Program Files\\Mirovanta 2\\Mirovanta2.exe";
  std::function<void()> on_run;
  std::function<void()> on_show_exception;  // while the error box would be up

  void Initialize() override { calls.push_back("Initialize"); }
  void AttachMainForm(TMainFormEvents e) override { events = std::move(e); }
  void Run() override {
    calls.push_back("Run");
    if (on_run) on_run();
  }
  void Minimize() override { calls.push_back("Minimize"); }
  void Terminate() override { calls.push_back("Terminate"); }
  void HideApplicationWindow() override { calls.push_back("HideApplicationWindow"); }
  void WakeMainThread() override {}
  void ShowException(const std::string& message) override {
    calls.push_back("ShowException " + message);
    if (on_show_exception) on_show_exception();
  }
  std::string ExeName() override { return exe_name; }
};

class FakeProcesses final : public platform::IProcesses {
 public:
  bool mutex_taken = false;
  std::vector<std::string> calls;

  platform::NamedMutex CreateNamedMutex(const std::string& name, bool initial_owner) override {
    calls.push_back("CreateNamedMutex " + name + (initial_owner ? " owned" : ""));
    return {42, mutex_taken};
  }
  void ReleaseNamedMutex(std::intptr_t handle) override {
    calls.push_back("ReleaseNamedMutex " + std::to_string(handle));
  }

  std::vector<platform::ProcessEntry> running;
  bool snapshot_fails = false;
  std::vector<std::uint32_t> refuse_terminate;
  std::vector<std::uint32_t> terminated;

  std::optional<std::vector<platform::ProcessEntry>> Snapshot() override {
    if (snapshot_fails) return std::nullopt;
    return running;
  }
  bool Terminate(std::uint32_t id, std::uint32_t exit_code) override {
    calls.push_back("Terminate " + std::to_string(id) + " " + std::to_string(exit_code));
    for (std::uint32_t refused : refuse_terminate) {
      if (refused == id) return false;
    }
    terminated.push_back(id);
    return true;
  }
  std::vector<std::uint32_t> ending;  // processes that end when waited for
  bool WaitForExit(std::uint32_t id, int timeout_ms) override {
    calls.push_back("WaitForExit " + std::to_string(id) + " " + std::to_string(timeout_ms));
    for (std::uint32_t ends : ending) {
      if (ends == id) return true;
    }
    return false;
  }
  static constexpr std::uint32_t kOwnId = 4000;
  std::uint32_t OwnId() override { return kOwnId; }
};

}  // namespace doubles
