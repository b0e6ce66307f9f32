#pragma once
// Reading a fuzz input a piece at a time.
#include <cstddef>
#include <cstdint>

#include "platform/crypto.h"

namespace fuzz {

// The next `count` bytes of the input, or what is left of it.
inline platform::Bytes Take(const std::uint8_t*& data, std::size_t& size, std::size_t count) {
  count = count < size ? count : size;
  platform::Bytes taken(data, data + count);
  data += count;
  size -= count;
  return taken;
}

}  // namespace fuzz
