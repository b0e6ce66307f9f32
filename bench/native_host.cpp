// The host's portable part on Linux: the main form with its listener over POSIX
// sockets and a minimal main-thread loop, for benchmarks beside the Wine build.
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "platform/application.h"
#include "platform/framework_error.h"
#include "shell/form1.h"

namespace {

class LoopApplication final : public platform::TApplication {
 public:
  void Initialize() override {}
  void AttachMainForm(TMainFormEvents events) override { events_ = std::move(events); }
  void Run() override {
    std::unique_lock lock(mutex_);
    while (!terminated_) {
      woken_.wait(lock, [&] { return wake_ || terminated_; });
      wake_ = false;
      lock.unlock();
      if (events_.OnWake) events_.OnWake();
      lock.lock();
    }
  }
  void Minimize() override {}
  void Terminate() override {
    std::lock_guard lock(mutex_);
    terminated_ = true;
    woken_.notify_all();
  }
  void HideApplicationWindow() override {}
  void WakeMainThread() override {
    std::lock_guard lock(mutex_);
    wake_ = true;
    woken_.notify_all();
  }
  void ShowException(const std::string& message) override {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
  std::string ExeName() override { return "native_host"; }

 private:
  TMainFormEvents events_;
  std::mutex mutex_;
  std::condition_variable woken_;
  bool wake_ = false;
  bool terminated_ = false;
};

// The benchmark measures the datagram path; the desktop services do nothing.
class NullDesktop final : public platform::IInput,
                          public platform::IClipboard,
                          public platform::IShell,
                          public platform::IWindows {
 public:
  unsigned SendInput(unsigned count, const platform::TInput*) override { return count; }
  bool GetCursorPos(platform::TPoint&) override { return false; }
  bool SetCursorPos(std::int32_t, std::int32_t) override { return true; }
  std::uint16_t ScanCodeOf(std::uint16_t) override { return 0; }
  bool Open() override { return true; }
  bool Empty() override { return true; }
  bool SetData(unsigned, const void*, std::size_t) override { return true; }
  void Close() override {}
  unsigned RegisterFormat(const std::string&) override { return 0; }
  std::u16string AnsiToUtf16(const std::string&) override { return {}; }
  std::intptr_t Execute(const std::string&, const std::string&, const std::string&,
                        const std::string&, int) override {
    return 33;
  }
  platform::WindowHandle FindTopWindow(const std::string&, const std::string&) override { return 0; }
  bool PostWindowMessage(platform::WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override {
    return true;
  }
};

}  // namespace

int main() {
  LoopApplication application;
  NullDesktop desktop;
  shell::TPlatform services{platform::SystemSockets(), desktop, desktop, desktop, desktop};
  try {
    shell::TForm1 form(application, services);
    std::printf("listening on 1565\n");
    std::fflush(stdout);
    application.Run();
  } catch (const platform::EFrameworkError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
