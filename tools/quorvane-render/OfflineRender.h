// Plays timed MIDI into the synthesiser unit call by call, as a host's render thread would.
#pragma once

#include "tools/common/BlockRender.h"
#include "tools/quorvane-render/MidiEventList.h"

#include <cstdint>
#include <vector>

namespace tools {

// Renders totalFrames frames through render in calls of blockSize frames (the last one
// shorter), the call starting at frame s stamped with sample time s. Each event goes into the
// event list of the call whose frames contain its sample time, stamped with it; events at or
// after totalFrames are never passed. Returns as renderInBlocks does.
OSStatus renderOffline(const AURenderBlock& render, const std::vector<TimedMidiEvent>& events,
                       std::int64_t totalFrames, int blockSize, const BlockSink& sink,
                       const RenderMonitor& monitor);

} // namespace tools
