// Plays timed MIDI into the synthesiser unit call by call, as a host's render thread would.
#pragma once

#include "platform/audiounit/RenderTypes.h"
#include "tools/quorvane-render/MidiEventList.h"

#include <cstdint>
#include <functional>
#include <vector>

// Receives each rendered block; returns false to stop the render (a write failed).
using BlockSink = std::function<bool(const float* left, const float* right, int frames)>;
// Told the frames rendered so far after each block; returns false to stop the render.
using RenderMonitor = std::function<bool(std::int64_t framesDone)>;

// Renders totalFrames frames through render in calls of blockSize frames (the last one
// shorter), the call starting at frame s stamped with sample time s. Each event goes into the
// event list of the call whose frames contain its sample time, stamped with it; events at or
// after totalFrames are never passed. Returns the first error status a call returns, or noErr
// (also when the sink or the monitor stops the render: they know why).
OSStatus renderOffline(const AURenderBlock& render, const std::vector<TimedMidiEvent>& events,
                       std::int64_t totalFrames, int blockSize, const BlockSink& sink,
                       const RenderMonitor& monitor);
