#pragma once
// The host's texts are UTF-8; the system's wide calls take UTF-16.
#include <windows.h>

#include <string>

namespace platform::win32 {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const wchar_t* text);

}  // namespace platform::win32
