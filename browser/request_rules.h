#pragma once
// What an HTTP request to the browser remote's port must look like before
// anything else is read from it.
//
// - Its Host must be one of this PC's served addresses with the port: a page
//   of another site that a browser was tricked into sending here (DNS
//   rebinding) names that site instead.
// - A WebSocket's Origin must be that same origin, "http://<address>:1566":
//   another site's page in a browser on the network cannot open one.
// - Its header ends within 8 KB.
#include <cstdint>
#include <string>
#include <vector>

namespace browser {

inline constexpr std::uint16_t kBrowserPort = 1566;
inline constexpr std::size_t kMaxHeaderBytes = 8 * 1024;

// `host`: the Host header as sent; `addresses`: the PC's served addresses.
// `port`: the one the server listens on (tests use a port of their own).
bool HostIsThisPc(const std::string& host, const std::vector<std::uint32_t>& addresses,
                  std::uint16_t port = kBrowserPort);
// `origin`: the Origin header as sent; `host`: the Host the request passed with.
bool OriginIsThePage(const std::string& origin, const std::string& host);

}  // namespace browser
