#pragma once
// Doubles of the notification area, the stream server and shell links.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/input.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "tests/doubles/winsock_numbers.h"

namespace doubles {

class FakeNotificationArea final : public platform::INotificationArea {
 public:
  enum class Action { Add, Change, Balloon, Remove };
  struct Call {
    Action action;
    platform::TrayIconState state = platform::TrayIconState::Normal;
    std::string tip;
    std::string title;  // of a balloon
    std::string text;
    unsigned timeout_ms = 0;
  };
  std::vector<Call> calls;
  bool refuse_add = false;
  bool icon_gone = false;  // the shell lost the icon (a wake, a crash): changes fail
  Handler handler;
  bool window = false;
  std::vector<std::vector<platform::MenuEntry>> menus_shown;
  std::vector<platform::TPoint> menu_positions;
  int choose = -1;             // the entry the user picks in the next menu, counted depth first
  std::string choose_caption;  // or the entry the user picks, by its caption

  // The depth-first index of the entry with that caption, or -1.
  static int IndexOf(const std::vector<platform::MenuEntry>& entries, const std::string& caption,
                     int& next) {
    for (const platform::MenuEntry& entry : entries) {
      const int index = next++;
      if (entry.caption == caption) return index;
      if (int found = IndexOf(entry.children, caption, next); found >= 0) return found;
    }
    return -1;
  }

  // The icon and tip last given to the shell (balloons left out).
  const Call& LastLook() const {
    static const Call none{Action::Add, platform::TrayIconState::Normal, "", "", "", 0};
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->action == Action::Add || it->action == Action::Change) return *it;
    }
    return none;
  }

  void CreateIconWindow(Handler h) override {
    handler = std::move(h);
    window = true;
  }
  void DestroyIconWindow() override { window = false; }
  bool AddIcon(platform::TrayIconState state, const std::string& tip) override {
    calls.push_back({Action::Add, state, tip, "", "", 0});
    if (!refuse_add) icon_gone = false;
    return !refuse_add;
  }
  bool ChangeIcon(platform::TrayIconState state, const std::string& tip) override {
    calls.push_back({Action::Change, state, tip, "", "", 0});
    return !icon_gone;
  }
  bool ShowBalloon(const std::string& title, const std::string& text,
                   unsigned timeout_ms) override {
    calls.push_back(
        {Action::Balloon, platform::TrayIconState::Normal, "", title, text, timeout_ms});
    return true;
  }
  void RemoveIcon() override {
    calls.push_back({Action::Remove, platform::TrayIconState::Normal, "", "", "", 0});
  }
  int TrackPopupMenu(const std::vector<platform::MenuEntry>& entries, int x, int y) override {
    menus_shown.push_back(entries);
    menu_positions.push_back({x, y});
    if (!choose_caption.empty()) {
      int next = 0;
      choose = IndexOf(entries, std::exchange(choose_caption, ""), next);
    }
    return std::exchange(choose, -1);
  }

  // The user and the system, as the icon's window would report them.
  void Raise(platform::TrayEvent::Kind kind,
             platform::TrayButton button = platform::TrayButton::Left, platform::TPoint at = {}) {
    handler({kind, button, at.x, at.y});
  }
  void ButtonDown(platform::TrayButton button, platform::TPoint at = {}) {
    Raise(platform::TrayEvent::Kind::ButtonDown, button, at);
  }
  void RequestMenu(platform::TPoint at = {}) {
    Raise(platform::TrayEvent::Kind::MenuRequested, platform::TrayButton::Right, at);
  }
  // A right click: the press, then the release that asks for the menu.
  void RightClick(platform::TPoint at = {}) {
    ButtonDown(platform::TrayButton::Right, at);
    RequestMenu(at);
  }
  std::vector<Call> Balloons() const {
    std::vector<Call> balloons;
    for (const Call& call : calls) {
      if (call.action == Action::Balloon) balloons.push_back(call);
    }
    return balloons;
  }
};

class FakeStreamServer final : public platform::IStreamServer {
 public:
  EventHandler handler;
  int listen_error = 0;
  std::string listen_api;
  platform::SocketHandle next = 100;
  std::set<platform::SocketHandle> open;
  std::map<platform::SocketHandle, std::uint32_t> peers;
  std::map<platform::SocketHandle, std::string> received;  // what each peer was sent
  std::map<platform::SocketHandle, int> send_errors;
  std::map<platform::SocketHandle, int> peer_errors;
  std::uint32_t next_peer = 0xC0A8010Au;  // 192.168.1.10
  int sends = 0;

  void SetEventHandler(EventHandler h) override { handler = std::move(h); }
  // Several devices queued behind one notification.
  void ConnectMany(int count, std::vector<int> failures_first = {}) {
    waiting = count;
    accept_errors = std::move(failures_first);
    handler(1, platform::StreamEvent::Accept, {});
  }
  ListenResult Listen(std::uint16_t port, int backlog) override {
    listened_port = port;
    listened_backlog = backlog;
    if (listen_error != 0) return {platform::kNoSocket, WsaError(listen_error), listen_api};
    open.insert(1);
    return {1, {}, ""};
  }
  int waiting = 0;                 // connections the next accept notification finds
  std::vector<int> accept_errors;  // failures before the waiting ones

  platform::SocketHandle Accept(platform::SocketHandle, platform::SocketError& error) override {
    if (!accept_errors.empty()) {
      error = WsaError(accept_errors.front());
      accept_errors.erase(accept_errors.begin());
      return platform::kNoSocket;
    }
    if (waiting == 0) {
      error = WsaError(wsa::kWouldBlock);
      return platform::kNoSocket;
    }
    --waiting;
    error = {};
    platform::SocketHandle socket = next++;
    open.insert(socket);
    peers[socket] = next_peer;
    return socket;
  }
  // As Windows does: a connection that broke (a reset, a time-out) no longer
  // has a peer; one the device closed in order still has.
  std::set<platform::SocketHandle> broken;
  void Raise(platform::SocketHandle socket, platform::StreamEvent event, int error = 0) {
    if (error != 0) broken.insert(socket);
    handler(socket, event, WsaError(error));
  }
  platform::SocketError PeerAddress(platform::SocketHandle socket,
                                    std::uint32_t& address) override {
    if (broken.count(socket)) return WsaError(wsa::kNotConnected);
    if (peer_errors.count(socket)) return WsaError(peer_errors[socket]);
    address = peers[socket];
    return {};
  }
  platform::IoResult Send(platform::SocketHandle socket, const std::uint8_t* data,
                          std::size_t size) override {
    ++sends;
    if (send_errors.count(socket)) {
      if (send_errors[socket] != wsa::kWouldBlock) broken.insert(socket);
      return {0, WsaError(send_errors[socket])};
    }
    received[socket].append(reinterpret_cast<const char*>(data), size);
    return {static_cast<long>(size), {}};
  }
  void Close(platform::SocketHandle socket) override { open.erase(socket); }
  std::set<platform::SocketHandle> gone;  // devices that left, their notification not yet raised
  bool PeerClosed(platform::SocketHandle socket) override {
    return gone.count(socket) != 0 || broken.count(socket) != 0;
  }
  std::string ErrorText(int error) override { return "error text " + std::to_string(error); }

  // A device connects: the listener reports an accept.
  platform::SocketHandle Connect(std::uint32_t peer = 0xC0A8010Au) {
    next_peer = peer;
    const platform::SocketHandle socket = next;
    waiting = 1;
    handler(1, platform::StreamEvent::Accept, {});
    return socket;
  }
  int listened_port = 0;
  int listened_backlog = 0;
};

class FakeLinks final : public platform::IShellLinks {
 public:
  std::set<std::string>* files = nullptr;  // where saved links appear
  bool com_fails = false;
  bool no_persist_file = false;
  std::set<std::string> unwritable;
  std::vector<std::string> saves;
  std::string target, description;

  class Session final : public platform::ILinkSession {
   public:
    explicit Session(FakeLinks& links) : links_(links) {}
    bool SaveAs(const std::string& path) override;

   private:
    FakeLinks& links_;
  };

  std::unique_ptr<platform::ILinkSession> Begin(const std::string& t,
                                                const std::string& d) override {
    if (com_fails) return nullptr;
    target = t;
    description = d;
    return std::make_unique<Session>(*this);
  }
};

inline bool FakeLinks::Session::SaveAs(const std::string& path) {
  links_.saves.push_back(path);
  if (links_.no_persist_file) return false;
  if (!links_.unwritable.count(path) && links_.files != nullptr) links_.files->insert(path);
  return true;
}

}  // namespace doubles
