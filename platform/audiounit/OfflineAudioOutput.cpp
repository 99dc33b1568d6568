// Offline rendering: pulls the engine in fixed-size calls on the calling thread.
#include "platform/audiounit/OfflineAudioOutput.h"

#include <algorithm>
#include <utility>

OfflineAudioOutput::OfflineAudioOutput(AudioFormat format, AUAudioFrameCount maximumFramesPerPull,
                                       double startSampleTime)
    : format_(format), maximumFramesPerPull_(std::max<AUAudioFrameCount>(maximumFramesPerPull, 1)),
      sampleTime_(startSampleTime) {}

AUResult<void> OfflineAudioOutput::start(AudioEnginePull pull) {
  pull_ = std::move(pull);
  return {};
}

void OfflineAudioOutput::stop() { pull_ = nullptr; }

AUResult<std::vector<std::vector<float>>> OfflineAudioOutput::render(std::size_t frameCount) {
  std::vector<std::vector<float>> channels(format_.channelCount, std::vector<float>(frameCount));
  std::vector<float*> pointers;
  for (auto& channel : channels)
    pointers.push_back(channel.data());
  if (const OSStatus status = render(pointers.data(), frameCount); status != noErr)
    return AUError{status, status == kAudioUnitErr_Uninitialized
                               ? "the engine is not running"
                               : "rendering failed with status " + std::to_string(status)};
  return channels;
}

OSStatus OfflineAudioOutput::render(float* const* channels, std::size_t frameCount) {
  if (!pull_)
    return kAudioUnitErr_Uninitialized;
  const std::uint32_t channelCount = std::min(format_.channelCount, AudioBufferList::kMaxBuffers);
  for (std::size_t done = 0; done < frameCount;) {
    const auto frames = static_cast<AUAudioFrameCount>(
        std::min<std::size_t>(frameCount - done, maximumFramesPerPull_));
    float* at[AudioBufferList::kMaxBuffers];
    for (std::uint32_t c = 0; c < channelCount; ++c)
      at[c] = channels[c] + done;
    AudioBufferList list = AudioBufferList::forChannels(at, channelCount, frames);
    const OSStatus status = pull_(AudioTimeStamp::withSampleTime(sampleTime_), frames, list);
    sampleTime_ += frames;
    done += frames;
    if (status != noErr)
      return status;
  }
  return noErr;
}
