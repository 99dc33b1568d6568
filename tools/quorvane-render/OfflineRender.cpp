// Plays timed MIDI into the synthesiser block by block.
#include "tools/quorvane-render/OfflineRender.h"

#include "QuorvaneAU/dsp/MidiDecoding.h"
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"

#include <algorithm>

bool renderOffline(QuorvaneDSPKernel& kernel, const std::vector<TimedMidiEvent>& events,
                   std::int64_t totalFrames, int blockSize, const BlockSink& sink,
                   const RenderMonitor& monitor) {
  std::vector<float> left(static_cast<std::size_t>(blockSize));
  std::vector<float> right(static_cast<std::size_t>(blockSize));
  auto next = events.begin();
  for (std::int64_t start = 0; start < totalFrames; start += blockSize) {
    const int frames = static_cast<int>(std::min<std::int64_t>(blockSize, totalFrames - start));
    for (; next != events.end() && next->sampleTime < start + frames; ++next)
      applyMIDIMessage(kernel, next->bytes.data(), next->bytes.size());
    kernel.renderFrames(left.data(), right.data(), frames);
    if (!sink(left.data(), right.data(), frames) || !monitor(start + frames))
      return false;
  }
  return true;
}
