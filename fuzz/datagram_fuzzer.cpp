// Fuzz target: four scene bytes (who sends, this PC's adapters, asking and
// pause) and then any bytes as a datagram, through the listener's first look
// (the nearby rule over the adapter list) and the main form's whole datagram
// path (approval, dispatch, key maps, text and pointer, launching, closing,
// the store and the registry) over recording doubles.
#include <cstddef>
#include <cstdint>

#include "platform/framework_error.h"
#include "platform/ipv4.h"
#include "service/datagram_command.h"
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
                          "ExePath", "x", RegistryView::Native, platform::RegistryType::Other);
    f->profile.sections["1-8App"]["Path"] = "C:\\WMP\\wmplayer.exe";
    f->profile.sections["4-2App"]["Path"] = "C:\\Tools\\QLN.exe";
    f->system.files = {"C:\\Storm\\Storm.exe", "C:\\Program Files\\KMP\\KMPlayer.exe",
                       "C:\\WMP\\wmplayer.exe", "C:\\Program Files (x86)\\Brisana\\Brisana.exe"};
    f->system.versions["C:\\WMP\\wmplayer.exe"] = {10, 0, 0, 3646};
    f->processes.running = {{1, "mplayerc.exe"}, {2, "PPStream.exe"}, {3, "ORB.exe"}};
    f->windows.top_windows = {{10, 2, "PPS"}, {11, 2, "other"}};
    f->windows.found = 77;
    f->registry.SetString(platform::RootKey::CurrentUser, "Software\\Mirovanta 2\\Devices",
                          "192.168.1.6", "192.168.1.6");
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
  f.dialogs.asked.clear();
  f.dialogs.confirmations.clear();
}

// The senders a scene picks from: loopback, an allowed device, two new ones
// nearby, two far. Few, so that what the host remembers of them stays small.
constexpr std::uint32_t kSenders[] = {0x7F000001u, 0xC0A80106u, 0xC0A80107u,
                                      0xC0A801F0u, 0x08080808u, 0xC0A80207u};

struct Scene {
  std::uint32_t sender = 0xC0A80106u;
  unsigned prefix = 24;
  std::uint8_t flags = 1 | 4;
  unsigned second_prefix = 16;
};

Scene ReadScene(const std::uint8_t*& data, std::size_t& size) {
  Scene scene;
  if (size < 4) return scene;
  scene.sender = kSenders[data[0] % std::size(kSenders)];
  scene.prefix = data[1] % 33;
  scene.flags = data[2];
  scene.second_prefix = data[3] % 33;
  data += 4;
  size -= 4;
  return scene;
}

void SetScene(doubles::FormFixture& f, const Scene& scene) {
  f.sockets.interfaces = {{0xC0A80114u, platform::MaskOfPrefix(scene.prefix),
                           (scene.flags & 1) != 0, (scene.flags & 2) != 0},
                          {0x0A000002u, platform::MaskOfPrefix(scene.second_prefix), true, false}};
  f.form->Access.Nearby.AddressesChanged();
  f.form->Access.Approval.Ask = (scene.flags & 4) != 0;
  f.form->Access.Paused = (scene.flags & 8) != 0;
  // As if the sender had connected to the presence port: it may be asked about.
  if (scene.flags & 64) f.form->Access.Approval.ShowedItself(scene.sender);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  doubles::FormFixture& f = Fixture();
  const Scene scene = ReadScene(data, size);
  SetScene(f, scene);
  protocol::TIdSocketHandle& binding = f.form->IdUDPServer1.Bindings.front();
  binding.PeerAddress = scene.sender;
  binding.PeerIP = platform::Ipv4ToText(scene.sender);
  binding.PeerPort = 40000;
  // The decoder is pure: what the gate and its owner see is the same command.
  if (service::DecodeDatagram(data, size) != service::DecodeDatagram(data, size)) __builtin_trap();
  if (f.form->Access.ListenerRead(f.form->IdUDPServer1, binding, data, size)) {
    protocol::TStream stream(data, size);
    try {
      f.form->IdUDPServer1UDPRead(f.form->IdUDPServer1, stream, binding);
    } catch (const platform::EFrameworkError&) {
      // Ends this datagram only, as in the listener.
    }
  } else if (!f.form->Access.Nearby.IsNearby(scene.sender) && !f.sockets.Sent().empty()) {
    __builtin_trap();  // a far sender learned that the host is there
  }
  if (scene.flags & 16) f.dialogs.Answer(platform::PromptAnswer::Yes);
  if (scene.flags & 32) f.dialogs.Answer(platform::PromptAnswer::No);
  if (scene.flags & 128) f.dialogs.Answer(platform::PromptAnswer::Other);
  // The next question's time may have come.
  f.system.tick_ms += 1000;
  f.timers.TickAll();
  if (f.form->Launch.Store.IniFile != nullptr || f.form->Launch.Pages.Registry != nullptr ||
      f.registry.open_keys != 0) {
    __builtin_trap();  // a command left its store or registry accessor behind
  }
  Forget(f);
  return 0;
}
