// The host callbacks the generator's render code calls: MIDI output, musical context, transport.
#pragma once

#include "platform/audiounit/RenderTypes.h"

namespace pallix::engine {

// Each may be empty (the host offers none). Threads: replaced only while the host does not
// render (allocation and deallocation); called on the render thread.
struct ContextHolder {
  AUMIDIOutputEventBlock midiOut;
  AUHostMusicalContextBlock musicalContext;
  AUHostTransportStateBlock transportState;
};

} // namespace pallix::engine
