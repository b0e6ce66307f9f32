// Fuzzes the browser remote's server over a real loopback socket: the
// input's bytes are sent as they are (an HTTP request, or anything), after
// the page's own WebSocket upgrade (the frames' bytes as they are), or cut
// into masked frames whose header bits come from the input. What must hold:
// the server neither crashes nor stops serving, whatever a connection sent;
// after each input, the page is still served to the next one.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "browser/paired_browsers.h"
#include "browser/web_server.h"
#include "fuzz/fuzz_input.h"
#include "platform/crypto.h"

namespace {

using fuzz::Take;
constexpr std::uint32_t kLoopback = 0x7F000001;

// A clock a minute ahead at each look: the proof limit of the one address
// the fuzzer sends from never closes the server to the next input.
std::uint64_t Minutes() {
  static std::atomic<std::uint64_t> now{0};
  return now += 61'000;
}

browser::TWebServer& Server() {
  static browser::TKeyRing keys;
  static const std::unique_ptr<browser::TWebServer> server = [] {
    platform::ICrypto& crypto = platform::SystemCrypto();
    const platform::Bytes key(32, 0x5a);
    keys.Add(browser::BrowserIdOf(crypto, key), key);
    browser::ServerHooks hooks;
    hooks.may_connect = [](std::uint32_t) { return true; };
    hooks.addresses = [] { return std::vector<std::uint32_t>{kLoopback}; };
    hooks.command = [](std::uint32_t, const std::string&, const service::Ask&) {};
    hooks.now_ms = Minutes;
    // Short clocks: an input that stops talking must not hold the run.
    browser::ServerLimits limits;
    limits.request_seconds = 1;
    limits.proof_seconds = 1;
    limits.idle_seconds = 1;
    auto made = std::make_unique<browser::TWebServer>(
        crypto, keys, std::vector<browser::PageFile>{{"/", "text/html", "<p>page</p>", false}},
        hooks, limits);
    std::string error;
    if (!made->Start(0, error)) __builtin_trap();
    return made;
  }();
  return *server;
}

int Connect(std::uint16_t port) {
  const int socket_fd = socket(AF_INET, SOCK_STREAM, 0);
  if (socket_fd < 0) __builtin_trap();
  timeval wait{3, 0};
  setsockopt(socket_fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  setsockopt(socket_fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(kLoopback);
  if (connect(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    __builtin_trap();
  }
  return socket_fd;
}

// Sends everything it can; the server may close first, which is its right.
void SendAll(int socket_fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t now = send(socket_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (now <= 0) return;
    sent += static_cast<std::size_t>(now);
  }
}

// What the server sent until it closed, or until it went quiet.
std::string ReadToEnd(int socket_fd) {
  std::string got;
  char buffer[4096];
  for (;;) {
    const ssize_t now = recv(socket_fd, buffer, sizeof buffer, 0);
    if (now <= 0) return got;
    got.append(buffer, static_cast<std::size_t>(now));
  }
}

std::string Upgrade(std::uint16_t port) {
  const std::string host = "127.0.0.1:" + std::to_string(port);
  return "GET /ws HTTP/1.1\r\nHost: " + host +
         "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
         "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
         "Origin: http://" +
         host + "\r\n\r\n";
}

// A client frame as the page would send it: masked, with the input's first
// byte as its FIN, reserved bits and opcode.
std::string Frame(std::uint8_t head, const platform::Bytes& payload) {
  std::string frame(1, static_cast<char>(head));
  const std::size_t size = payload.size();
  if (size < 126) {
    frame += static_cast<char>(0x80 | size);
  } else {
    frame += static_cast<char>(0x80 | 126);
    frame += static_cast<char>(size >> 8);
    frame += static_cast<char>(size & 0xff);
  }
  const char mask[4] = {0x12, 0x34, 0x56, 0x78};
  frame.append(mask, 4);
  for (std::size_t i = 0; i < size; ++i) frame += static_cast<char>(payload[i] ^ mask[i % 4]);
  return frame;
}

std::string Message(std::uint16_t port, const std::uint8_t* data, std::size_t size) {
  const std::uint8_t how = Take(data, size, 1)[0] % 3;
  if (how == 0) return std::string(data, data + size);
  std::string bytes = Upgrade(port);
  if (how == 1) return bytes + std::string(data, data + size);
  while (size > 0) {
    const std::uint8_t head = Take(data, size, 1)[0];
    const std::uint8_t length = size > 0 ? Take(data, size, 1)[0] : 0;
    bytes += Frame(head, Take(data, size, length));
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  browser::TWebServer& server = Server();
  const int socket_fd = Connect(server.Port());
  SendAll(socket_fd, Message(server.Port(), data, size));
  shutdown(socket_fd, SHUT_WR);
  ReadToEnd(socket_fd);
  close(socket_fd);

  const int next = Connect(server.Port());
  SendAll(next, "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
                    "\r\nConnection: close\r\n\r\n");
  const std::string answer = ReadToEnd(next);
  close(next);
  if (answer.rfind("HTTP/1.1 200", 0) != 0) __builtin_trap();
  return 0;
}
