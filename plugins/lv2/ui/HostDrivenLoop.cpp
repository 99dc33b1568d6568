// The host's idle calls as JUCE's dispatch loop.
#include "plugins/lv2/ui/HostDrivenLoop.h"

namespace juce {
// JUCE's own, in its Linux messaging (its LV2 client declares it the same way): runs one
// message, or returns false when none is waiting and it is told not to wait.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace plugins::lv2 {

HostDrivenLoop::HostDrivenLoop() { enter(); }

void HostDrivenLoop::enter() {
  juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
}

void HostDrivenLoop::dispatchPending() {
  enter();
  while (juce::dispatchNextMessageOnSystemQueue(true)) {
  }
}

} // namespace plugins::lv2
