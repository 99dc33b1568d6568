// Ctrl-C, hang-ups and termination requests turned into a flag that long loops poll.
#pragma once

namespace hosting {

// Installs the handlers for SIGINT, SIGTERM and SIGHUP. Call once, early in main.
void watchForInterruption() noexcept;
// True once an interruption was requested.
bool interruptionRequested() noexcept;

} // namespace hosting
