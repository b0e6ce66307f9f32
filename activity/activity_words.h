#pragma once
// What the activity log says for each thing that happens.
#include <string>

#include "service/host_events.h"

namespace activity {

using service::Activity;
using service::Refusal;

// Whose doing a line is: the PC's own user's lines are never folded; a
// remote's are folded per device and kind, or per device, kind and detail
// (the program's name from the host's own table).
enum class LineSource { User, Remote, RemoteByDetail };

LineSource SourceOf(Activity what);
// The words of a line; `detail` fills the "%s" of those that have one.
std::string ActivityWords(Activity what, const std::string& detail);
std::string RefusalWords(Refusal why);

}  // namespace activity
