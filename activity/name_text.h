#pragma once
// What a device's name may show. The name comes from whoever answers the
// reverse lookup, so anyone on the network can choose it: it must not be able
// to reorder or split the words around it, nor push them out of a window.
#include <cstddef>
#include <string>

namespace activity {

// The longest name shown, in characters; a longer one ends in "…".
inline constexpr std::size_t kNameShown = 40;

// The name without control characters (a tab among them), bidirectional
// controls and bytes that are not UTF-8, and at most kNameShown characters.
std::string CleanName(const std::string& utf8);

}  // namespace activity
