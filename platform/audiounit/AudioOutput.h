// Where an audio engine's mix goes: the interface a device output implements, and the pull
// function through which the output asks the engine for audio.
#pragma once

#include "platform/audiounit/AUError.h"
#include "platform/audiounit/AudioBufferList.h"
#include "platform/audiounit/AudioFormat.h"
#include "platform/audiounit/RenderTypes.h"

#include <functional>

// Fills output (the output format's channels, frameCount frames each) with the engine's mix for
// the frames that start at timestamp. Returns noErr, or the first error of a unit (its part is
// then silent). Any frame count is accepted (the engine splits it). Called on the output's
// render thread, one call at a time; never allocates, locks or throws.
using AudioEnginePull = std::function<OSStatus(
    const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount, AudioBufferList& output)>;

// Threads: format, maximumFramesPerPull, start and stop are called by the engine on the main or
// a control thread. Between start and stop the output calls pull from its render thread, with
// sample times that grow by the frames of each call.
class AudioOutput {
public:
  virtual ~AudioOutput() = default;

  // The engine renders at this sample rate and channel count (read at start).
  virtual AudioFormat format() const = 0;
  // The most frames one pull asks for, usually the device's buffer size (read at start); the
  // engine sets every unit's maximumFramesToRender to it.
  virtual AUAudioFrameCount maximumFramesPerPull() const = 0;

  // Begins calling pull (a device opens and starts its stream here). Whatever the engine did
  // before this call must be visible to the render thread (starting a thread, or handing over
  // under a lock, does that).
  virtual AUResult<void> start(AudioEnginePull pull) = 0;
  // Stops calling pull: when stop returns, no pull runs and none will.
  virtual void stop() = 0;
};
