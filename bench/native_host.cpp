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
                          public platform::IWindows,
                          public platform::IProcesses,
                          public platform::IRegistry,
                          public platform::IProfile,
                          public platform::ISystem,
                          public platform::INotificationArea,
                          public platform::IStreamServer,
                          public platform::IShellLinks,
                          public platform::IDialogs,
                          public platform::IFiles,
                          public platform::INetworkStatus,
                          public platform::ITimers,
                          public platform::IHotkeys,
                          public platform::IProtect,
                          public platform::ISessions {
 public:
  void CreateIconWindow(Handler) override {}
  void DestroyIconWindow() override {}
  bool AddIcon(platform::TrayIconState, const std::string&) override { return true; }
  bool ChangeIcon(platform::TrayIconState, const std::string&) override { return true; }
  bool ShowBalloon(const std::string&, const std::string&, unsigned) override { return true; }
  void RemoveIcon() override {}
  int TrackPopupMenu(const std::vector<platform::MenuEntry>&, int, int) override { return -1; }
  void SetEventHandler(EventHandler) override {}
  ListenResult Listen(std::uint16_t, int) override { return {1, {}, ""}; }
  platform::SocketHandle Accept(platform::SocketHandle, platform::SocketError& error) override {
    error = {platform::SocketFailure::WouldBlock, 0};
    return platform::kNoSocket;
  }
  platform::SocketError PeerAddress(platform::SocketHandle, std::uint32_t&) override { return {}; }
  platform::IoResult Send(platform::SocketHandle, const std::uint8_t*, std::size_t size) override {
    return {static_cast<long>(size), {}};
  }
  bool PeerClosed(platform::SocketHandle) override { return false; }
  void Close(platform::SocketHandle) override {}
  std::string ErrorText(int) override { return ""; }
  std::unique_ptr<platform::ILinkSession> Begin(const std::string&, const std::string&) override {
    return nullptr;
  }
  void EnumTopWindows(const std::function<bool(platform::WindowHandle)>&) override {}
  std::uint32_t WindowProcessId(platform::WindowHandle) override { return 0; }
  std::string WindowText(platform::WindowHandle, std::size_t) override { return ""; }
  void SendCloseWithTimeout(platform::WindowHandle, int) override {}
  platform::NamedMutex CreateNamedMutex(const std::string&, bool) override { return {}; }
  void ReleaseNamedMutex(std::intptr_t) override {}
  std::optional<std::vector<platform::ProcessEntry>> Snapshot() override { return std::nullopt; }
  bool Terminate(std::uint32_t, std::uint32_t) override { return false; }
  bool WaitForExit(std::uint32_t, int) override { return true; }
  std::uint32_t OwnId() override { return 1; }
  platform::RegistryKey OpenKey(platform::RootKey, const std::string&,
                                platform::RegistryView) override {
    return 0;
  }
  std::optional<platform::RegistryValue> QueryValue(platform::RegistryKey,
                                                    const std::string&) override {
    return std::nullopt;
  }
  void CloseKey(platform::RegistryKey) override {}
  std::vector<std::pair<std::string, std::string>> ReadStrings(platform::RootKey,
                                                               const std::string&) override {
    return {};
  }
  bool WriteString(platform::RootKey, const std::string&, const std::string&,
                   const std::string&) override {
    return true;
  }
  bool DeleteValue(platform::RootKey, const std::string&, const std::string&) override {
    return true;
  }
  int AskQuestion(const platform::PromptText&, unsigned,
                  std::function<void(platform::PromptAnswer)>) override {
    return 0;
  }
  void CloseQuestion(int) override {}
  void ChangeQuestionLine(int, std::size_t, const std::string&) override {}
  bool Confirm(const std::string&, const std::string&) override { return false; }
  void ShowReport(const platform::ReportText&, std::function<void(std::size_t)>) override {}
  void ChangeReport(const std::string&) override {}
  bool ReportShown() override { return false; }
  void CloseReport() override {}
  void ShowPairing(const platform::PairingView&, std::function<void(std::size_t)>,
                   std::function<void()>) override {}
  void ClosePairing() override {}
  std::optional<platform::Bytes> Protect(const platform::Bytes&) override { return std::nullopt; }
  std::optional<platform::Bytes> Unprotect(const platform::Bytes&) override { return std::nullopt; }
  bool PairingShown() override { return false; }
  std::optional<std::vector<platform::ConnectedNetwork>> ConnectedNetworks() override {
    return std::nullopt;
  }
  std::optional<bool> FirewallOn(platform::NetworkProfile) override { return std::nullopt; }
  std::optional<std::vector<platform::FirewallRule>> InboundRules() override {
    return std::nullopt;
  }
  std::string GetString(const std::string&, const std::string&, const std::string& fallback,
                        std::size_t, const std::string&) override {
    return fallback;
  }
  bool WriteString(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {
    return true;
  }
  void Flush(const std::string&) override {}
  platform::OsVersion Version() override { return {10, 0, true}; }
  std::string TempPath(std::size_t) override { return "/tmp/"; }
  std::string ComputerName(std::size_t) override { return "native"; }
  bool FileExists(const std::string&) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }
  bool ChangeDirectory(const std::string&) override { return false; }
  std::string ExpandEnvironment(const std::string& text) override { return text; }
  std::optional<std::array<std::uint16_t, 4>> FileVersion(const std::string&) override {
    return std::nullopt;
  }
  std::uint64_t TickCountMs() override { return 0; }
  platform::LocalTime LocalNow() override { return {}; }
  unsigned SendKeys(const platform::KeyStroke*, unsigned count) override { return count; }
  bool SendPointer(const platform::PointerEvent&) override { return true; }
  bool GetCursorPos(platform::TPoint&) override { return false; }
  bool SetCursorPos(std::int32_t, std::int32_t) override { return true; }
  platform::TRect VirtualScreen() override { return {0, 0, 1920, 1080}; }
  std::uint16_t ScanCodeOf(std::uint16_t) override { return 0; }
  bool Open() override { return true; }
  bool Empty() override { return true; }
  bool SetText(platform::TextFormat, const void*, std::size_t) override { return true; }
  bool SetRegistered(unsigned, const void*, std::size_t) override { return true; }
  void Close() override {}
  unsigned RegisterFormat(const std::string&) override { return 0; }
  std::u16string AnsiToUtf16(const std::string&) override { return {}; }
  std::intptr_t Execute(const std::string&, const std::string&, const std::string&,
                        const std::string&, platform::ShowAs) override {
    return 33;
  }
  platform::WindowHandle FindTopWindow(const std::string&, const std::string&) override {
    return 0;
  }
  bool PostClose(platform::WindowHandle) override { return true; }
  platform::WindowHandle ForegroundWindow() override { return 0; }
  platform::IntegrityLevel ProcessIntegrity(std::uint32_t) override {
    return platform::IntegrityLevel::Unknown;
  }
  // No activity log, timers or hotkey: the probe benchmark needs none.
  bool CreateFolder(const std::string&) override { return false; }
  std::int64_t FileSize(const std::string&) override { return -1; }
  bool Append(const std::string&, const std::string&) override { return false; }
  bool Replace(const std::string&, const std::string&) override { return false; }
  int Start(unsigned, std::function<void()>) override { return 0; }
  void Stop(int) override {}
  bool Register(const platform::HotkeyChord&, std::function<void()>) override { return false; }
  void Unregister() override {}
  // The one host of the PC, at its screen.
  bool Watch(std::function<void(platform::SessionChange)>) override { return false; }
  void Unwatch() override {}
  bool AtConsole() override { return true; }
  bool LockedNow() override { return false; }
  bool HoldPortsName() override { return true; }
  void ReleasePortsName() override {}
  bool PortsNameHeldElsewhere() override { return false; }
};

}  // namespace

int main() {
  LoopApplication application;
  NullDesktop desktop;
  shell::TPlatform services{platform::SystemSockets(),
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            desktop,
                            platform::SystemCrypto(),
                            desktop,
                            desktop,
                            0};
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
