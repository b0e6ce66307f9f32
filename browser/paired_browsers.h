#pragma once
// The browsers the user paired, kept in the registry under
// HKEY_CURRENT_USER\Software\Mirovanta 2\Browsers: one string value per
// browser, named by its id, holding when it was paired and its key wrapped
// for this user on this PC (DPAPI), in hex:
//
//   b3f1c09a27d4e5b6 = "2026-12-09 14:05 01000000d08c9ddf0115d1118c7a..."
//
// The key is never on disk in the clear, nor in the log. The id is derived
// from the key, so the browser can name its key without sending it.
#include <string>
#include <vector>

#include "platform/crypto.h"
#include "platform/protect.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace browser {

inline constexpr const char* kBrowsersKey = "Software\\Mirovanta 2\\Browsers";

struct PairedBrowser {
  std::string id;
  std::string paired_at;  // "2026-12-09 14:05", local time
  platform::Bytes key;
};

// The first `count` bytes in lower-case hex (the key in the page's address
// is written the same way).
std::string Hex(const platform::Bytes& bytes, std::size_t count);
// "b" and the first 8 bytes of HMAC-SHA256(key, "mirovanta2 id") in hex.
std::string BrowserIdOf(platform::ICrypto& crypto, const platform::Bytes& key);
// The Devices menu's words: "Browser paired 9 Dec 14:05".
std::string PairedCaption(const std::string& paired_at);
std::string PairedAtText(const platform::LocalTime& time);

class TPairedBrowsers {
 public:
  TPairedBrowsers(platform::IRegistry& registry, platform::IProtect& protect)
      : registry_(registry), protect_(protect) {}

  // The browsers as the registry holds them now. One whose key cannot be
  // unwrapped (another user's, or changed) is passed over, not removed.
  void Load();
  // False when the key could not be wrapped or written: the browser is then
  // paired for this run only.
  bool Add(const PairedBrowser& browser);
  bool Forget(std::string id);
  const PairedBrowser* Find(const std::string& id) const;
  const std::vector<PairedBrowser>& Browsers() const { return browsers_; }

 private:
  platform::IRegistry& registry_;
  platform::IProtect& protect_;
  std::vector<PairedBrowser> browsers_;
};

}  // namespace browser
