// Plays timed MIDI into the synthesiser block by block, as a host's render calls would.
#pragma once

#include "tools/quorvane-render/MidiEventList.h"

#include <cstdint>
#include <functional>
#include <vector>

class QuorvaneDSPKernel;

// Receives each rendered block; returns false to stop the render (a write failed).
using BlockSink = std::function<bool(const float* left, const float* right, int frames)>;
// Told the frames rendered so far after each block; returns false to stop the render.
using RenderMonitor = std::function<bool(std::int64_t framesDone)>;

// Renders totalFrames frames in calls of blockSize frames, the last one shorter. Before the call
// that starts at frame s, every event with a sample time below s + blockSize not yet applied is
// applied, in list order: a block's events all take effect at its first frame. Events at or after
// totalFrames are never applied. Returns true when every frame reached the sink.
bool renderOffline(QuorvaneDSPKernel& kernel, const std::vector<TimedMidiEvent>& events,
                   std::int64_t totalFrames, int blockSize, const BlockSink& sink,
                   const RenderMonitor& monitor);
