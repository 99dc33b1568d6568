// Ctrl-C, hang-ups and termination requests turned into a flag.
#include "hosting/Interruption.h"

#include <csignal>

namespace hosting {

namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void onSignal(int) { requested = 1; }

} // namespace

void watchForInterruption() noexcept {
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  std::signal(SIGHUP, onSignal);
}

bool interruptionRequested() noexcept { return requested != 0; }

} // namespace hosting
