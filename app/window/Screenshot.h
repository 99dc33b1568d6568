// quorvane --screenshot: the main window drawn into a PNG with no display.
#pragma once

#include "app/AppOptions.h"

#include <string_view>

namespace app {

// Builds the main window's content at the options' size with the synthesiser ready (offline
// output, no sound card), draws it and writes the PNG; the file is replaced only when that
// succeeds. Returns the exit status.
int writeScreenshot(const AppOptions& options, std::string_view tool);

} // namespace app
