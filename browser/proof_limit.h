#pragma once
// Failed proofs are limited per address: at most 5 a minute, the sixth
// connection of that minute closed before it is challenged. A guess at a
// 256-bit key gains nothing from more tries; the limit keeps a neighbour from
// making the host compute for nothing, and each failure is one line of the
// log the fold already bounds.
#include <cstdint>
#include <map>

namespace browser {

class TProofLimit {
 public:
  static constexpr unsigned kFailuresPerMinute = 5;
  static constexpr std::uint64_t kMinuteMs = 60 * 1000;
  static constexpr std::size_t kAddresses = 1024;

  // Whether a connection from this address may try a proof now.
  bool MayTry(std::uint32_t address, std::uint64_t now_ms);
  void Failed(std::uint32_t address, std::uint64_t now_ms);

 private:
  struct Tries {
    std::uint64_t since = 0;  // the start of its minute
    unsigned failed = 0;
  };
  void ForgetOld(std::uint64_t now_ms);

  std::map<std::uint32_t, Tries> tries_;
};

}  // namespace browser
