#pragma once
// The system's text for an error number, without the line break it ends in.
#include <string>

namespace platform::win32 {

std::string SystemMessageText(unsigned long error);

}  // namespace platform::win32
