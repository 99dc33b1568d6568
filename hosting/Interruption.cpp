// Ctrl-C, hang-ups and termination requests turned into a flag.
#include "hosting/Interruption.h"

#include <csignal>
#include <initializer_list>

namespace hosting {

namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void onSignal(int) { requested = 1; }

} // namespace

void watchForInterruption() noexcept {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a call blocked on a pipe returns, so the tool can end. The first signal
  // asks politely; the handler then resets, so a second one ends the tool at once.
  action.sa_flags = SA_RESETHAND;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaction(signal, &action, nullptr);
  // Past a file-size limit, a write should fail with a reason rather than kill the tool.
  std::signal(SIGXFSZ, SIG_IGN);
}

bool interruptionRequested() noexcept { return requested != 0; }

} // namespace hosting
