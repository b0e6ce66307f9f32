#pragma once
// The browser remote's page (its HTML, style and bundled script), built from
// page/ with esbuild and held in the program itself.
#include <vector>

#include "browser/web_server.h"

namespace browser {

std::vector<PageFile> PageFiles();

}  // namespace browser
