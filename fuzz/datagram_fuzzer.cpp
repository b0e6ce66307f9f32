// Fuzz target: any bytes as a datagram from the local network, through the
// main form's whole datagram path (dispatch, key maps, text and pointer,
// launching, closing, the store and the registry) over recording doubles.
#include <cstddef>
#include <cstdint>

#include "platform/framework_error.h"
#include "tests/doubles/form_fixture.h"

namespace {

// A system with something at every place a command can look: stored and
// registered paths, files, versions, processes and windows.
doubles::FormFixture& Fixture() {
  static doubles::FormFixture* fixture = [] {
    auto* f = new doubles::FormFixture;
    using platform::RegistryView;
    using platform::RootKey;
    f->registry.SetString(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                          "ProgramFilesDir (x86)", "C:\\Program Files (x86)");
    f->registry.SetString(RootKey::LocalMachine, "SOFTWARE\\Classes\\Storm\\DefaultIcon", "",
                          "C:\\Storm\\Storm.exe,0", RegistryView::Wow32);
    f->registry.SetString(RootKey::LocalMachine, "SOFTWARE\\Classes\\KMPlayer.kpl\\DefaultIcon", "",
                          "\"%ProgramFiles%\\KMP\\KMPlayer.exe\",1", RegistryView::Wow32);
    f->registry.SetString(RootKey::LocalMachine, "SOFTWARE\\Kelvorn\\Media Player Classic",
                          "ExePath", "x", RegistryView::Native, 4);
    f->profile.sections["1-8App"]["Path"] = "C:\\WMP\\wmplayer.exe";
    f->profile.sections["4-2App"]["Path"] = "C:\\Tools\\QLN.exe";
    f->system.files = {"C:\\Storm\\Storm.exe", "C:\\Program Files\\KMP\\KMPlayer.exe",
                       "C:\\WMP\\wmplayer.exe", "C:\\Program Files (x86)\\Brisana\\Brisana.exe"};
    f->system.versions["C:\\WMP\\wmplayer.exe"] = {10, 0, 0, 3646};
    f->processes.running = {{1, "mplayerc.exe"}, {2, "PPStream.exe"}, {3, "ORB.exe"}};
    f->windows.top_windows = {{10, 2, "PPS"}, {11, 2, "other"}};
    f->windows.found = 77;
    f->Create();
    return f;
  }();
  return *fixture;
}

// What the doubles recorded is of no further use; keep memory flat.
void Forget(doubles::FormFixture& f) {
  f.input.calls.clear();
  f.input.set_positions.clear();
  f.clipboard.calls.clear();
  f.clipboard.data.clear();
  f.clipboard.registered.clear();
  f.shell.calls.clear();
  f.windows.calls.clear();
  f.windows.closed.clear();
  f.processes.calls.clear();
  f.processes.terminated.clear();
  f.profile.calls.clear();
  f.registry.opened.clear();
  f.registry.ForgetHandles();
  f.system.calls.clear();
  f.tray.calls.clear();
  f.application.calls.clear();
  f.sockets.ForgetSent();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  doubles::FormFixture& f = Fixture();
  protocol::TIdSocketHandle& binding = f.form->IdUDPServer1.Bindings.front();
  binding.PeerAddress = 0xC0A80105u;
  binding.PeerIP = "192.168.1.5";
  binding.PeerPort = 40000;
  protocol::TStream stream(data, size);
  try {
    f.form->IdUDPServer1UDPRead(f.form->IdUDPServer1, stream, binding);
  } catch (const platform::EFrameworkError&) {
    // Ends this datagram only, as in the listener.
  }
  if (f.form->Store.IniFile != nullptr || f.form->Pages.Registry != nullptr || f.registry.open_keys != 0) {
    __builtin_trap();  // a command left its store or registry accessor behind
  }
  Forget(f);
  return 0;
}
