#pragma once
// What the host's own windows (the question, the report, the pairing window)
// are made of: their class, with the program's icon on the dialog colour, and
// their child controls in UTF-16 with the dialog font.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/win32_handles.h"

namespace platform::win32 {

std::unique_ptr<WindowClass> DialogClass(const char* name, WNDPROC procedure);
// A visible child control; nullptr when it could not be made.
HWND DialogChild(HWND parent, const wchar_t* window_class, const std::wstring& text, DWORD style,
                 int id);

}  // namespace platform::win32
