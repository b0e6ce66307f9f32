#pragma once
#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/owners.h"
#include "platform/sockets.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hidden_window.h"

namespace platform::win32 {

// Non-blocking stream sockets whose events arrive as window messages on the
// main thread (WSAAsyncSelect to a hidden window).
class Win32StreamServer final : public IStreamServer {
 public:
  // `show_error` is the application's error box.
  explicit Win32StreamServer(std::function<void(const std::string&)> show_error)
      : show_error_(std::move(show_error)) {}
  static constexpr UINT kSocketMessage = WM_USER + 1;
  static constexpr UINT kReuseMarker = WM_USER + 2;

  ~Win32StreamServer() override;
  void SetEventHandler(EventHandler handler) override;
  ListenResult Listen(std::uint16_t port, int backlog) override;
  SocketHandle Accept(SocketHandle listener, SocketError& error) override;
  SocketError PeerAddress(SocketHandle socket, std::uint32_t& address) override;
  IoResult Send(SocketHandle socket, const std::uint8_t* data, std::size_t size) override;
  bool PeerClosed(SocketHandle socket) override;
  void Close(SocketHandle socket) override;
  std::string ErrorText(int number) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  bool EnsureWindow();
  std::function<void(const std::string&)> show_error_;
  HiddenWindow window_;
  EventHandler handler_;
  std::set<SocketHandle> closed_;            // closed, their handle values not given out again yet
  std::map<SocketHandle, int> markers_due_;  // reused values: markers still in the queue
  std::optional<TSocketLibrary> library_;    // started by the first Listen
};

}  // namespace platform::win32
