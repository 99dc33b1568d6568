// An engine output without a device: renders the engine on the calling thread into memory.
#pragma once

#include "platform/audiounit/AudioOutput.h"

#include <cstddef>
#include <vector>

// Threads: everything on one main or control thread; render() pulls on that same thread.
class OfflineAudioOutput final : public AudioOutput {
public:
  // format: the channels and sample rate to render; maximumFramesPerPull (at least 1): the
  // largest render call; startSampleTime: the sample time of the first frame rendered.
  explicit OfflineAudioOutput(AudioFormat format, AUAudioFrameCount maximumFramesPerPull = 512,
                              double startSampleTime = 0.0);

  AudioFormat format() const override { return format_; }
  AUAudioFrameCount maximumFramesPerPull() const override { return maximumFramesPerPull_; }
  AUResult<void> start(AudioEnginePull pull) override;
  void stop() override;

  // The next frameCount frames, one vector per channel, pulled in calls of at most
  // maximumFramesPerPull frames; sample times continue from the previous render (or start at
  // startSampleTime). Fails (kAudioUnitErr_Uninitialized) while the engine is not running, and
  // with the status of a pull that failed.
  AUResult<std::vector<std::vector<float>>> render(std::size_t frameCount);
  // The same into channels[0 ... format().channelCount - 1], each with room for frameCount.
  OSStatus render(float* const* channels, std::size_t frameCount);

  // The sample time of the next frame to render.
  double sampleTime() const noexcept { return sampleTime_; }

private:
  AudioFormat format_;
  AUAudioFrameCount maximumFramesPerPull_;
  double sampleTime_;
  AudioEnginePull pull_;
};
