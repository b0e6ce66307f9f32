#pragma once
// The hidden main form: the owner of every component and of all shared state;
// every event of the program ends in one of its handler methods.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "launch/ini_file.h"
#include "launch/registry_reader.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "protocol/clipboard.h"
#include "protocol/command_handlers.h"
#include "protocol/source_filter.h"
#include "protocol/udp_server.h"
#include "shell/menu_item.h"
#include "shell/server_socket.h"
#include "shell/tray_icon.h"

namespace shell {

// The platform services the form works through.
struct TPlatform {
  platform::ISockets& sockets;
  platform::IInput& input;
  platform::IClipboard& clipboard;
  platform::IShell& shell;
  platform::IWindows& windows;
  platform::IProcesses& processes;
  platform::IRegistry& registry;
  platform::IProfile& profile;
  platform::ISystem& system;
  platform::INotificationArea& notification_area;
  platform::IStreamServer& stream_server;
  platform::IShellLinks& links;
};

class TForm1 : public protocol::TCommandHandlers {
 public:
  static constexpr int kPort = 1565;

  TForm1(platform::TApplication& application, TPlatform& platform);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Components, in the form's order.
  TTrayIcon TrayIcon1;
  TPopupMenu PopupMenu1;
  TMenuItem Exit1{"Exit"};
  TServerSocket ServerSocket1;
  protocol::TIdUDPServer IdUDPServer1;
  TMenuItem Label1{" Local IP Address"};
  TMenuItem IP1{" 0.0.0.0"};
  TMenuItem StartRun1{"Run with windows start", true, true};
  TMenuItem N1{"-"};

  // Event handlers.
  void IdUDPServer1UDPRead(protocol::TIdUDPServer& sender, protocol::TStream& data,
                           protocol::TIdSocketHandle& binding);
  void FormActivate();
  void ServerSocket1ClientConnect(TServerSocket& sender, TCustomWinSocket& socket);
  void ServerSocket1ClientDisconnect(TServerSocket& sender, TCustomWinSocket& socket);
  void ServerSocket1ClientRead(TServerSocket& sender, TCustomWinSocket& socket);
  void TrayIcon1MouseDown(TMouseButton button, int x, int y);
  void StartRun1Click();
  void Exit1Click();

  void ShowBalloon(const std::string& title, const std::string& text);

  // Group handlers of the command datagram.
  void MediaPageButton(std::uint8_t page, std::uint8_t code) override;
  void TypeText(std::string_view text) override;
  void MovePointer(std::int8_t dx, std::int8_t dy) override;
  void LeftClick() override;
  void RightClick() override;
  void TurnWheel(bool toward_user) override;
  void LaunchUtility(std::uint8_t selector) override;
  void CloseUtility(std::uint8_t selector) override;

  // Input injection: each is one call into the system's input stream.
  void SendKey(std::uint16_t vk);
  void SendChord2(std::uint16_t mod, std::uint16_t vk);
  void SendChord3(std::uint16_t k1, std::uint16_t k2, std::uint16_t k3);
  void SendMouse(std::uint32_t flags, std::int32_t data);

  // The media pages' own application, and the laser pointer companion.
  void LaunchPageApp(std::uint8_t page);
  void ClosePageApp(std::uint8_t page);
  void StartLaserCompanion();
  void StopLaserCompanion();

  // The application path store, one command at a time.
  void OpenStore();
  std::string ReadStoredPath(const std::string& section);
  void WriteStoredPath(const std::string& section, const std::string& path);
  void ReleaseStore();

  // Finding, starting and closing programs.
  std::string DiscoverAppPath(const std::string& key, const std::string& value_name,
                              bool remove_quotes);
  void RunOpenExe(const std::string& parameter);
  bool CloseProcessByName(const std::string& name);
  bool EnumCloseProc(platform::WindowHandle window, std::uint32_t process_id);
  std::string FileVersionText(const std::string& path);

  // Fields.
  std::array<platform::TInput, 6> KeyInputs{};
  platform::TInput MouseInput{};
  platform::TPoint CursorPos{};
  std::intptr_t LaserWnd = 0;
  std::string IniFilePath;
  std::unique_ptr<launch::TIniFile> IniFile;
  std::unique_ptr<launch::TRegistry> Registry;
  std::string ProgFilesDir;
  std::int32_t IsNT6 = 0;
  std::string ComputerName;
  std::string IpList;
  std::string CommonStartupLink;
  std::string UserStartupLink;
  std::string LinkDescription;
  bool IsWmp9or10 = false;

 private:
  void LoadComponents();
  void ReadSystemSettings();
  void ReadFolders();
  void InitInputRecords();
  void WriteKeySlot(std::size_t slot, std::uint16_t vk, bool up);
  std::string ExeDirectory() const;
  std::string CompanionPath() const;

  platform::TApplication& application_;
  TPlatform& platform_;
  protocol::TLocalNetworkFilter source_filter_;
  protocol::TClipboard clipboard_;
};

// Releases the path store when a command leaves, by any way.
class TStoreScope {
 public:
  explicit TStoreScope(TForm1& form) : form_(form) { form_.OpenStore(); }
  ~TStoreScope() { form_.ReleaseStore(); }
  TStoreScope(const TStoreScope&) = delete;
  TStoreScope& operator=(const TStoreScope&) = delete;

 private:
  TForm1& form_;
};

}  // namespace shell
