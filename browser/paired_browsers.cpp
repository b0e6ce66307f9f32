#include "browser/paired_browsers.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

namespace browser {
namespace {

constexpr std::size_t kStampChars = 16;  // "2026-12-09 14:05"
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::optional<platform::Bytes> FromHex(std::string_view hex) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return std::nullopt;
  platform::Bytes bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]), low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return bytes;
}

}  // namespace

std::string Hex(const platform::Bytes& bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < count && i < bytes.size(); ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

std::string BrowserIdOf(platform::ICrypto& crypto, const platform::Bytes& key) {
  constexpr std::string_view kLabel = "mirovanta2 id";
  const platform::Bytes mac =
      crypto.HmacSha256(key, reinterpret_cast<const std::uint8_t*>(kLabel.data()), kLabel.size());
  return mac.size() < 8 ? "" : "b" + Hex(mac, 8);
}

std::string PairedAtText(const platform::LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

std::string PairedCaption(const std::string& paired_at) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (std::sscanf(paired_at.c_str(), "%d-%d-%d %d:%d", &year, &month, &day, &hour, &minute) != 5 ||
      month < 1 || month > 12) {
    return "Browser paired";
  }
  char text[48];
  std::snprintf(text, sizeof text, "Browser paired %d %s %02d:%02d", day, kMonths[month - 1], hour,
                minute);
  return text;
}

void TPairedBrowsers::Load() {
  browsers_.clear();
  for (const auto& [id, value] :
       registry_.ReadStrings(platform::RootKey::CurrentUser, kBrowsersKey)) {
    if (value.size() <= kStampChars + 1 || value[kStampChars] != ' ') continue;
    const auto wrapped = FromHex(std::string_view(value).substr(kStampChars + 1));
    const auto key = wrapped ? protect_.Unprotect(*wrapped) : std::nullopt;
    if (!key || key->empty()) continue;
    browsers_.push_back({id, value.substr(0, kStampChars), *key});
  }
}

bool TPairedBrowsers::Add(const PairedBrowser& browser) {
  Forget(browser.id);
  browsers_.push_back(browser);
  const auto wrapped = protect_.Protect(browser.key);
  if (!wrapped) return false;
  return registry_.WriteString(platform::RootKey::CurrentUser, kBrowsersKey, browser.id,
                               browser.paired_at + " " + Hex(*wrapped, wrapped->size()));
}

// By value: the id may be one of the browsers' own, which the erase frees.
bool TPairedBrowsers::Forget(std::string id) {
  std::erase_if(browsers_, [&](const PairedBrowser& b) { return b.id == id; });
  return registry_.DeleteValue(platform::RootKey::CurrentUser, kBrowsersKey, id);
}

const PairedBrowser* TPairedBrowsers::Find(const std::string& id) const {
  auto found = std::find_if(browsers_.begin(), browsers_.end(),
                            [&](const PairedBrowser& b) { return b.id == id; });
  return found == browsers_.end() ? nullptr : &*found;
}

}  // namespace browser
