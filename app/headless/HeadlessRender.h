// The app's start-up run against an offline output instead of a sound card, with the mix
// written to a WAV file.
#pragma once

#include "app/AppOptions.h"

#include <string_view>

namespace app {

// Registers and instantiates both units with nothing read from the user's folders, waits for
// both to settle, applies --tempo, presses Play with --demo, renders round(seconds x 44100)
// frames in render cycles of 512 and renames the finished WAV over the destination. Returns
// the exit status; problems are reported on standard error under the tool's name.
int renderHeadless(const AppOptions& options, std::string_view tool);

} // namespace app
