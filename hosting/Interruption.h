// Ctrl-C, hang-ups and termination requests turned into a flag that long loops poll.
#pragma once

namespace hosting {

// Installs the handlers for SIGINT, SIGTERM and SIGHUP (a second signal ends the program at
// once) and makes writes past a file-size limit fail instead of killing. Call once, early in main.
void watchForInterruption() noexcept;
// True once an interruption was requested.
bool interruptionRequested() noexcept;

} // namespace hosting
