#pragma once
// What each key of the browser's page presses: one key, or a chord of two.
#include <cstdint>

#include "browser/browser_commands.h"

namespace browser_remote {

struct PageKeyAction {
  std::uint16_t first = 0;
  std::uint16_t second = 0;  // 0: `first` alone
};

PageKeyAction ActionOf(browser::PageKey key);

}  // namespace browser_remote
