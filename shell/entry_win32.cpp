// The Windows program: the real platform under the portable main form.
#include <windows.h>

#include <memory>

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
#include "shell/form1.h"
#include "shell/program_entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
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
                            protect};
  // The same rule the listener applies, over its own copy of the adapters.
  access_policy::TNearbyRule early_nearby([&services] { return services.sockets.Interfaces(); });
  protocol::TEarlyProbeAnswerer early(
      services.sockets, shell::TForm1::kPort,
      [&early_nearby](std::uint32_t address) { return early_nearby.IsNearby(address); });
  return shell::ProgramEntry(
      processes, windows, application, arguments,
      [&]() -> std::shared_ptr<void> {
        return std::make_shared<shell::TForm1>(application, services, &early);
      },
      &early);
}
