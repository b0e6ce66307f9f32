#pragma once
// What the activity log says for each thing that happens.
#include <string>

#include "service/host_events.h"

namespace activity {

using service::Activity;
using service::Refusal;

// The words of a line; `detail` fills the "%s" of those that have one.
std::string ActivityWords(Activity what, const std::string& detail);
std::string RefusalWords(Refusal why);

}  // namespace activity
