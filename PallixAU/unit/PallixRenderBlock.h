// The generator's render block: a render call's host answers and parameter events made into
// kernel calls, and the kernel's notes passed on to the host.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <memory>

namespace pallix::engine {
class Kernel;
} // namespace pallix::engine

namespace pallix::unit {

// The host callbacks the render block calls: MIDI output, musical context, transport. Each may
// be empty (the host offers none). Threads: replaced only while the host does not render
// (allocation and deallocation); called on the render thread.
struct ContextHolder {
  AUMIDIOutputEventBlock midiOut;
  AUHostMusicalContextBlock musicalContext;
  AUHostTransportStateBlock transportState;
};

// The block holds the kernel and the context holder itself, so that callbacks installed by a
// later allocation reach a block fetched before it. Each call asks the host for its musical
// context and then its transport state, applies the call's parameter events at the buffer start
// (a ramp jumps to its end value), renders the kernel, whose notes go to the MIDI output block
// on cable 0, and fills the output with silence. A call without a time stamp is refused, as the
// host-facing render block refuses it. Made on the main or a control thread; the block is
// called on the render thread, and never allocates, locks or throws.
AUInternalRenderBlock makePallixRenderBlock(std::shared_ptr<engine::Kernel> kernel,
                                            std::shared_ptr<ContextHolder> context);

} // namespace pallix::unit
