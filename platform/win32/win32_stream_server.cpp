#include "platform/win32/win32_stream_server.h"

#include "platform/framework_error.h"
#include "platform/win32/win32_socket_error.h"
#include "platform/win32/win32_system_message.h"

namespace platform::win32 {
namespace {

constexpr char kClass[] = "TServerSocketWindow";

// A listening socket while it is set up: closed when a step fails.
struct SocketTraits {
  using Type = SOCKET;
  static Type Empty() { return INVALID_SOCKET; }
  static bool Valid(Type s) { return s != INVALID_SOCKET; }
  static void Close(Type s) { closesocket(s); }
};

// The event a WSAAsyncSelect notification reports.
bool EventOf(WORD select_event, StreamEvent& event) {
  switch (select_event) {
    case FD_ACCEPT: event = StreamEvent::Accept; return true;
    case FD_READ: event = StreamEvent::Read; return true;
    case FD_WRITE: event = StreamEvent::Write; return true;
    case FD_CONNECT: event = StreamEvent::Connect; return true;
    case FD_CLOSE: event = StreamEvent::Close; return true;
    default: return false;
  }
}

}  // namespace

Win32StreamServer::~Win32StreamServer() { window_.Destroy(); }

LRESULT CALLBACK Win32StreamServer::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = HiddenWindow::OwnerOf<Win32StreamServer>(window);
  if (self != nullptr && message == kReuseMarker) {
    if (--self->markers_due_[static_cast<SocketHandle>(w)] <= 0) {
      self->markers_due_.erase(static_cast<SocketHandle>(w));
    }
    return 0;
  }
  if (self != nullptr && message == kSocketMessage &&
      (self->closed_.count(static_cast<SocketHandle>(w)) != 0 ||
       self->markers_due_.count(static_cast<SocketHandle>(w)) != 0)) {
    return 0;  // for a connection closed already
  }
  if (self != nullptr && message == kSocketMessage && self->handler_) {
    // Errors of a socket event are shown and the program goes on.
    try {
      StreamEvent event;
      if (EventOf(WSAGETSELECTEVENT(l), event)) {
        self->handler_(static_cast<SocketHandle>(w), event, WinsockError(WSAGETSELECTERROR(l)));
      }
    } catch (const EFrameworkError& error) {
      self->show_error_(error.what());
    }
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

bool Win32StreamServer::EnsureWindow() {
  if (window_) return true;
  return window_.Create(kClass, Procedure, this, HiddenWindow::Kind::MessageOnly);
}

void Win32StreamServer::SetEventHandler(EventHandler handler) { handler_ = std::move(handler); }

IStreamServer::ListenResult Win32StreamServer::Listen(std::uint16_t port, int backlog) {
  if (!library_) {
    library_.emplace(SystemSockets());
    if (int error = library_->Error(); error != 0) {
      library_.reset();
      return {kNoSocket, WinsockError(error), "WSAStartup"};
    }
  }
  // Without its window the server would never hear of a connection.
  if (!EnsureWindow()) {
    return {kNoSocket, {SocketFailure::Other, static_cast<int>(GetLastError())}, "CreateWindowEx"};
  }
  UniqueResource<SocketTraits> owner(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!owner) return {kNoSocket, LastWinsockError(), "socket"};
  const SOCKET listener = owner.get();
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  const char* api = nullptr;
  if (bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    api = "bind";
  } else if (listen(listener, backlog) != 0) {
    api = "listen";
  } else if (WSAAsyncSelect(listener, window_.Get(), kSocketMessage, FD_ACCEPT) != 0) {
    api = "WSAAsyncSelect";
  }
  // The error is read before the owner closes the socket on the way out.
  if (api != nullptr) return {kNoSocket, LastWinsockError(), api};
  return {static_cast<SocketHandle>(owner.release()), {}, ""};
}

SocketHandle Win32StreamServer::Accept(SocketHandle listener, SocketError& error) {
  error = {};
  SOCKET accepted = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
  if (accepted == INVALID_SOCKET) {
    error = LastWinsockError();
    return kNoSocket;
  }
  // A new connection with the handle value of a closed one: notifications of
  // the old one may still wait in the queue, and a stale FD_CLOSE would end the
  // new connection. A marker goes into the queue before the new one's events
  // are selected: what comes for this value before the marker is the old one's.
  if (closed_.erase(static_cast<SocketHandle>(accepted)) != 0) {
    ++markers_due_[static_cast<SocketHandle>(accepted)];
    PostMessageA(window_.Get(), kReuseMarker, accepted, 0);
  }
  WSAAsyncSelect(accepted, window_.Get(), kSocketMessage,
                 FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
  // A peer that closed or reset before its events were selected may never
  // raise FD_CLOSE: look (without taking any byte) and report it ourselves.
  char byte;
  int peeked = recv(accepted, &byte, 1, MSG_PEEK);
  int state = peeked == SOCKET_ERROR ? WSAGetLastError() : 0;
  if (peeked == 0 || (peeked == SOCKET_ERROR && state != WSAEWOULDBLOCK)) {
    PostMessageA(window_.Get(), kSocketMessage, accepted, WSAMAKESELECTREPLY(FD_CLOSE, state));
  }
  return static_cast<SocketHandle>(accepted);
}

SocketError Win32StreamServer::PeerAddress(SocketHandle socket, std::uint32_t& address) {
  sockaddr_in peer{};
  int length = sizeof peer;
  if (getpeername(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
    return LastWinsockError();
  }
  address = ntohl(peer.sin_addr.s_addr);
  return {};
}

IoResult Win32StreamServer::Send(SocketHandle socket, const std::uint8_t* data, std::size_t size) {
  int n = send(static_cast<SOCKET>(socket), reinterpret_cast<const char*>(data),
               static_cast<int>(size), 0);
  if (n == SOCKET_ERROR) return {0, LastWinsockError()};
  return {n, {}};
}

bool Win32StreamServer::PeerClosed(SocketHandle socket) {
  // Bounded: a device that keeps sending is looked at again at its next
  // notification or check.
  char bytes[512];
  for (int reads = 0; reads < 64; ++reads) {
    const int got = recv(static_cast<SOCKET>(socket), bytes, sizeof bytes, 0);
    if (got > 0) continue;
    return got == 0 || WSAGetLastError() != WSAEWOULDBLOCK;
  }
  return false;
}

void Win32StreamServer::Close(SocketHandle socket) {
  if (socket == kNoSocket) return;
  // Events off first: a closed connection raises nothing more.
  WSAAsyncSelect(static_cast<SOCKET>(socket), window_.Get(), 0, 0);
  closesocket(static_cast<SOCKET>(socket));
  // Notifications already queued for it outlive the close: they are dropped
  // when they come, until the handle value is given to a new connection.
  closed_.insert(socket);
}

// Without its full stop: the message goes on after it with the number.
std::string Win32StreamServer::ErrorText(int number) {
  std::string text = SystemMessageText(static_cast<DWORD>(number));
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace platform::win32
