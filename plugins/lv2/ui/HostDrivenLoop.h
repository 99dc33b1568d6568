// JUCE's message loop turned by the host's idle calls, on the host's UI thread.
#pragma once

#include <juce_events/juce_events.h>

namespace plugins::lv2 {

// JUCE lives while any UI of this shared object does (the initialiser counts them) and shuts
// down, its timer thread included, with the last one. Nothing of JUCE runs on a thread of its
// own: the host calls every UI function on its UI thread, which becomes JUCE's message thread
// at each call (as JUCE's own LV2 client makes it, should the host move its UI thread), and
// each idle call runs the messages that arrived since the last (the editors' hand-overs,
// timers, X events). Threads: the host's UI thread.
class HostDrivenLoop {
public:
  HostDrivenLoop();
  HostDrivenLoop(const HostDrivenLoop&) = delete;
  HostDrivenLoop& operator=(const HostDrivenLoop&) = delete;

  // Each entry point calls this first.
  void enter();
  // Runs every pending message, returning when none is left.
  void dispatchPending();

private:
  juce::ScopedJuceInitialiser_GUI juce_;
};

} // namespace plugins::lv2
