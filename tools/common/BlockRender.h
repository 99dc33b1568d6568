// Calls a unit's render block as a host's render thread would: a run of frames in calls of one
// block size, each stamped with its sample time, into a stereo buffer of the tool's own.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <cstdint>
#include <functional>

namespace tools {

// The events for the call covering [sampleTime, sampleTime + frames), or null for none. Also
// where a tool learns which call comes next.
using CallEvents = std::function<const AURenderEvent*(std::int64_t sampleTime, int frames)>;
// Receives each rendered block; returns false to stop the render (a write failed).
using BlockSink = std::function<bool(const float* left, const float* right, int frames)>;
// Told the frames rendered so far after each block; returns false to stop the render.
using RenderMonitor = std::function<bool(std::int64_t framesDone)>;

struct BlockRun {
  std::int64_t firstSampleTime = 0;
  std::int64_t totalFrames = 0;
  int blockSize = 512;
};

// Renders run.totalFrames frames in calls of run.blockSize frames (the last one shorter); the
// call starting at frame s of the run is stamped with sample time firstSampleTime + s. Returns
// the first error status a call returns, or noErr (also when the sink or the monitor stops the
// render: they know why).
OSStatus renderInBlocks(const AURenderBlock& render, const BlockRun& run, const CallEvents& events,
                        const BlockSink& sink, const RenderMonitor& monitor);

} // namespace tools
