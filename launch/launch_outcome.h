#pragma once
// What became of a command to start a program, for the activity log.
#include <cstdint>

#include "platform/shell.h"

namespace launch {

using platform::Started;

enum class LaunchOutcome {
  Skipped,   // no program for it, or a repeat of the same command
  Started,   // the program was started
  Locating,  // its place is not known: the locator asks the user
  Failed,    // the file is gone, or Windows would not start it
};

}  // namespace launch
