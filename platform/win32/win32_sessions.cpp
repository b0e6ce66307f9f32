#include "platform/win32/win32_sessions.h"

#include <versionhelpers.h>
#include <wtsapi32.h>

#include <string>

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TMirovantaSession";
// In the namespace every session of the PC shares: the host of another
// user's session sees it.
constexpr char kPortsName[] = "Global\\Mirovanta 2 ports";
constexpr DWORD kNoConsole = 0xFFFFFFFF;

std::optional<SessionChange> SessionChangeOf(WPARAM code) {
  switch (code) {
    case WTS_SESSION_LOCK: return SessionChange::Locked;
    case WTS_SESSION_UNLOCK: return SessionChange::Unlocked;
    case WTS_CONSOLE_CONNECT: return SessionChange::ConsoleConnected;
    case WTS_CONSOLE_DISCONNECT: return SessionChange::ConsoleDisconnected;
    default: return std::nullopt;
  }
}

std::optional<SessionChange> PowerChangeOf(WPARAM code) {
  switch (code) {
    case PBT_APMSUSPEND: return SessionChange::Suspending;
    // Sent on every wake, also one no user caused; the wake a user caused
    // comes after it as PBT_APMRESUMESUSPEND and needs nothing more.
    case PBT_APMRESUMEAUTOMATIC: return SessionChange::Resumed;
    default: return std::nullopt;
  }
}

// What the session's extended information starts with (WTSINFOEXW at level
// 1): the headers of the cross build do not declare it. The level's union
// holds 64-bit times, so it starts 8 bytes in on both word sizes.
constexpr WTS_INFO_CLASS kSessionInfoEx = static_cast<WTS_INFO_CLASS>(25);
constexpr LONG kSessionStateLock = 0;
struct SessionInfoExStart {
  DWORD level;
  DWORD padding;
  ULONG session_id;
  INT connect_state;
  LONG session_flags;
};

}  // namespace

Win32Sessions::Win32Sessions(std::optional<std::uint32_t> pretend_session)
    : pretend_session_(pretend_session) {}

Win32Sessions::~Win32Sessions() {
  Unwatch();
  ReleasePortsName();
}

bool Win32Sessions::Watch(std::function<void(SessionChange)> changed) {
  Unwatch();
  // The title names the session: a test tells two hosts' windows apart by it.
  const std::string title = "Mirovanta 2 session " + std::to_string(OwnSession());
  if (!window_.Create(kClass, Procedure, this, HiddenWindow::Kind::TopLevel,
                      {0, title.c_str(), nullptr, {}})) {
    return false;
  }
  changed_ = std::move(changed);
  registered_ = WTSRegisterSessionNotification(window_.Get(), NOTIFY_FOR_THIS_SESSION) != FALSE;
  return registered_;
}

void Win32Sessions::Unwatch() {
  if (registered_) WTSUnRegisterSessionNotification(window_.Get());
  registered_ = false;
  window_.Destroy();
  changed_ = nullptr;
}

DWORD Win32Sessions::OwnSession() const {
  if (pretend_session_) return *pretend_session_;
  DWORD own = 0;
  return ProcessIdToSessionId(GetCurrentProcessId(), &own) ? own : kNoConsole;
}

bool Win32Sessions::AtConsole() {
  const DWORD console = WTSGetActiveConsoleSessionId();
  const DWORD own = OwnSession();
  if (console == kNoConsole || own == kNoConsole) return true;
  return own == console;
}

// Windows 7 reports the flag the wrong way round, and has nothing better to
// ask: there the host learns of the lock screen only from its reports.
bool Win32Sessions::LockedNow() {
  if (pretend_session_ || !IsWindows8OrGreater()) return false;
  LPWSTR buffer = nullptr;
  DWORD size = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kSessionInfoEx,
                                   &buffer, &size)) {
    return false;
  }
  bool locked = false;
  if (size >= sizeof(SessionInfoExStart)) {
    const auto* info = reinterpret_cast<const SessionInfoExStart*>(buffer);
    locked = info->level == 1 && info->session_flags == kSessionStateLock;
  }
  WTSFreeMemory(buffer);
  return locked;
}

// A name another user's host made may not be opened by this user at all:
// refused or found, it is held elsewhere.
bool Win32Sessions::HoldPortsName() {
  if (ports_name_) return true;
  UniqueHandle name(CreateMutexA(nullptr, FALSE, kPortsName));
  if (!name || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  ports_name_ = std::move(name);
  return true;
}

void Win32Sessions::ReleasePortsName() { ports_name_.reset(); }

bool Win32Sessions::PortsNameHeldElsewhere() {
  if (ports_name_) return false;
  if (UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, kPortsName))) return true;
  return GetLastError() == ERROR_ACCESS_DENIED;
}

void Win32Sessions::Tell(SessionChange change) {
  if (!changed_) return;
  auto changed = changed_;  // a copy: the handler may stop watching
  changed(change);
}

LRESULT CALLBACK Win32Sessions::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = HiddenWindow::OwnerOf<Win32Sessions>(window);
  if (self != nullptr && message == WM_WTSSESSION_CHANGE) {
    if (auto change = SessionChangeOf(w)) self->Tell(*change);
    return 0;
  }
  if (self != nullptr && message == WM_POWERBROADCAST) {
    if (auto change = PowerChangeOf(w)) self->Tell(*change);
    return TRUE;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace platform::win32
