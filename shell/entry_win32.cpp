// The Windows program: the real platform under the portable main form.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32_application.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_hotkeys.h"
#include "platform/win32/win32_timers.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_links.h"
#include "platform/win32/win32_network_status.h"
#include "platform/win32/win32_stream_server.h"
#include "platform/win32/win32_tray.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_protect.h"
#include "platform/win32/win32_sessions.h"
#include "shell/form1.h"
#include "shell/program_entry.h"

namespace {

// Built into the end-to-end tests' copy alone: a second host under the same
// Wine acts as the host of another session, which has a single-instance
// lock of its own. Nothing the shipped program reads can change its session.
std::optional<std::uint32_t> PretendSession() {
#ifdef MIROVANTA2_TEST_HOOKS
  const char* session = std::getenv("MIROVANTA2_TEST_SESSION");
  if (session == nullptr || *session == '\0') return std::nullopt;
  return static_cast<std::uint32_t>(std::strtoul(session, nullptr, 10));
#else
  return std::nullopt;
#endif
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  const std::optional<std::uint32_t> pretend_session = PretendSession();
  platform::win32::Win32Processes processes;
  platform::win32::Win32Application application;
  platform::win32::Win32Input input;
  platform::win32::Win32Clipboard clipboard([&application] { return application.Handle(); });
  platform::win32::Win32Shell shell_service;
  platform::win32::Win32Windows windows;
  platform::win32::Win32Registry registry;
  platform::win32::Win32Profile profile;
  platform::win32::Win32System system;
  auto show_error = [&application](const std::string& text) { application.ShowException(text); };
  platform::win32::Win32NotificationArea tray(show_error);
  platform::win32::Win32StreamServer presence(show_error);
  platform::win32::Win32ShellLinks links;
  platform::win32::Win32Dialogs dialogs;
  platform::win32::Win32Files files;
  platform::win32::Win32Timers timers;
  platform::win32::Win32Hotkeys hotkeys;
  platform::win32::Win32NetworkStatus network_status;
  platform::win32::Win32Protect protect;
  platform::win32::Win32Sessions sessions(pretend_session);
  shell::TPlatform services{platform::SystemSockets(),
                            input,
                            clipboard,
                            shell_service,
                            windows,
                            processes,
                            registry,
                            profile,
                            system,
                            tray,
                            presence,
                            links,
                            dialogs,
                            files,
                            timers,
                            hotkeys,
                            network_status,
                            platform::SystemCrypto(),
                            protect,
                            sessions};
  // The same rule the listener applies, over its own copy of the adapters.
  access_policy::TNearbyRule early_nearby([&services] { return services.sockets.Interfaces(); });
  protocol::TEarlyProbeAnswerer early(
      services.sockets, shell::TForm1::kPort,
      [&early_nearby](std::uint32_t address) { return early_nearby.IsNearby(address); });
  const std::string instance_name =
      pretend_session
          ? std::string(shell::kInstanceMutexName) + "_SESSION" + std::to_string(*pretend_session)
          : std::string(shell::kInstanceMutexName);
  return shell::ProgramEntry(
      processes, windows, application, arguments,
      [&]() -> std::shared_ptr<void> {
        return std::make_shared<shell::TForm1>(application, services, &early);
      },
      &early, instance_name);
}
