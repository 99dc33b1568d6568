// Calls a unit's render block as a host's render thread would.
#include "tools/common/BlockRender.h"

#include <algorithm>
#include <vector>

namespace tools {

OSStatus renderInBlocks(const AURenderBlock& render, const BlockRun& run, const CallEvents& events,
                        const BlockSink& sink, const RenderMonitor& monitor) {
  std::vector<float> left(static_cast<std::size_t>(run.blockSize));
  std::vector<float> right(static_cast<std::size_t>(run.blockSize));
  const AURenderPullInputBlock noInput;
  for (std::int64_t done = 0; done < run.totalFrames; done += run.blockSize) {
    const int frames =
        static_cast<int>(std::min<std::int64_t>(run.blockSize, run.totalFrames - done));
    const std::int64_t sampleTime = run.firstSampleTime + done;
    const AURenderEvent* head = events(sampleTime, frames);
    float* channels[2] = {left.data(), right.data()};
    AudioBufferList output =
        AudioBufferList::forChannels(channels, 2, static_cast<std::uint32_t>(frames));
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp time = AudioTimeStamp::withSampleTime(static_cast<double>(sampleTime));
    const OSStatus status =
        render(&flags, &time, static_cast<AUAudioFrameCount>(frames), 0, &output, head, noInput);
    if (status != noErr)
      return status;
    if (!sink(left.data(), right.data(), frames) || !monitor(done + frames))
      return noErr;
  }
  return noErr;
}

} // namespace tools
