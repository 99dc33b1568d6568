// How the demo answers the generator's questions about the host's tempo, meter, position and
// transport, from the shared DemoState.
#pragma once

#include "app/host/Demo.h"
#include "platform/audiounit/RenderTypes.h"

#include <memory>

namespace app {

// Render thread. Each output is written only when its pointer is not null; both always answer
// true. Beats count from the latched start at the current tempo; while stopped (or before the
// latch) the position is beat 0 with one whole beat to the next.
bool answerMusicalContext(const DemoState& state, double* tempo, double* numerator,
                          long* denominator, double* beatPosition, long* sampleOffsetToNextBeat,
                          double* measureDownbeat) noexcept;
bool answerTransportState(const DemoState& state, AUHostTransportStateFlags* flags,
                          double* samplePosition, double* cycleStart, double* cycleEnd) noexcept;

// The host blocks a generator is given; they keep the state alive.
AUHostMusicalContextBlock musicalContextBlockFor(std::shared_ptr<const DemoState> state);
AUHostTransportStateBlock transportStateBlockFor(std::shared_ptr<const DemoState> state);

} // namespace app
