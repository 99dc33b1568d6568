// Decoding a render call's events into kernel calls and rendering the buffer in one piece.
#include "QuorvaneAU/unit/QuorvaneRenderBlock.h"

#include "QuorvaneAU/dsp/MidiDecoding.h"
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "platform/audiounit/RenderEvent.h"

#include <algorithm>
#include <cstring>

namespace quorvane::unit {

using dsp::QuorvaneDSPKernel;

namespace {

// Events take effect at the buffer's first sample, whatever their sample times.
void applyEvents(QuorvaneDSPKernel& kernel, const AURenderEvent* event) noexcept {
  for (; event; event = event->head.next) {
    switch (event->head.eventType) {
    case AURenderEventParameter:
    case AURenderEventParameterRamp: // a ramp jumps to its end value
      kernel.setParameter(event->parameter.parameterAddress, event->parameter.value);
      break;
    case AURenderEventMIDI: {
      const std::size_t length = std::min<std::size_t>(event->MIDI.length, 3);
      if (length >= 1)
        dsp::applyMIDIMessage(kernel, event->MIDI.data, length);
      break;
    }
    default: // system exclusive and MIDI event lists
      break;
    }
  }
}

} // namespace

AUInternalRenderBlock makeQuorvaneRenderBlock(std::shared_ptr<QuorvaneDSPKernel> kernel,
                                              std::shared_ptr<QuorvaneRenderBuffers> buffers) {
  return [kernel = std::move(kernel), buffers = std::move(buffers)](
             AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount frameCount, long,
             AudioBufferList* output, const AURenderEvent* events,
             const AURenderPullInputBlock&) -> OSStatus {
    applyEvents(*kernel, events);
    if (!output)
      return noErr;
    if (output->mNumberBuffers < 2) {
      for (std::uint32_t i = 0; i < output->mNumberBuffers; ++i)
        if (output->mBuffers[i].mData)
          std::memset(output->mBuffers[i].mData, 0, output->mBuffers[i].mDataByteSize);
      return noErr;
    }
    // Buffers without memory get the unit's own, as hosts expect of audio units.
    std::vector<float>* own[2] = {&buffers->left, &buffers->right};
    bool supplied[2] = {false, false};
    AUAudioFrameCount frames = frameCount;
    for (int c = 0; c < 2; ++c) {
      AudioBuffer& buffer = output->mBuffers[c];
      if (!buffer.mData) {
        buffer.mData = own[c]->data();
        buffer.mDataByteSize = static_cast<std::uint32_t>(own[c]->size() * sizeof(float));
        supplied[c] = true;
      }
      // Never write past a buffer a host sized too small.
      frames = std::min<AUAudioFrameCount>(frames, buffer.mDataByteSize / sizeof(float));
    }
    for (int c = 0; c < 2; ++c)
      if (supplied[c])
        output->mBuffers[c].mDataByteSize = frames * static_cast<std::uint32_t>(sizeof(float));
    kernel->renderFrames(output->channel(0), output->channel(1), static_cast<int>(frames));
    return noErr;
  };
}

} // namespace quorvane::unit
