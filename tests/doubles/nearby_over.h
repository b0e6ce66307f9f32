#pragma once
// The nearby rule over a double's adapters, as the program entry hands it to
// the early probe answerer.
#include <memory>

#include "access/nearby_rule.h"
#include "protocol/early_probe_answerer.h"

namespace doubles {

inline protocol::TEarlyProbeAnswerer::IsNearby NearbyOver(platform::ISockets& sockets) {
  auto rule =
      std::make_shared<access_policy::TNearbyRule>([&sockets] { return sockets.Interfaces(); });
  return [rule](std::uint32_t address) { return rule->IsNearby(address); };
}

}  // namespace doubles
