#pragma once
// UTF-8 as a browser sends it, and as Windows takes it in UTF-16.
#include <cstddef>
#include <string>

namespace service {

// Whether `text` is UTF-8 that Windows can turn into UTF-16 as it stands:
// no overlong forms, surrogates or points past U+10FFFF.
bool IsValidUtf8(const std::string& text);
// Valid UTF-8 as UTF-16, and how many characters it holds.
std::u16string Utf16Of(const std::string& utf8, std::size_t& characters);

}  // namespace service
