#pragma once
// The page's own keys, in the order of their numbers on the wire ('K' n):
// what each is called, what its button shows, and the key or chord of two
// it presses. The page's buttons are made from this table at build time.
#include <cstdint>
#include <span>

namespace browser {

struct PageKey {
  const char* name;   // what the button is called to a screen reader
  const char* label;  // what it shows
  std::uint16_t first;
  std::uint16_t second;  // 0: `first` alone
  const char* group;     // the row of the page it sits in
};

std::span<const PageKey> PageKeys();

}  // namespace browser
