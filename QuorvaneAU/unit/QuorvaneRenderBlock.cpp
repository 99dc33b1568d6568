// Decoding a render call's events into kernel calls, each at its own frame, and rendering the
// buffer in the pieces between them.
#include "QuorvaneAU/unit/QuorvaneRenderBlock.h"

#include "QuorvaneAU/dsp/MidiDecoding.h"
#include "QuorvaneAU/dsp/QuorvaneDSPKernel.h"
#include "platform/audiounit/RenderEvent.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace quorvane::unit {

using dsp::QuorvaneDSPKernel;

namespace {

void applyEvent(QuorvaneDSPKernel& kernel, const AURenderEvent& event) noexcept {
  switch (event.head.eventType) {
  case AURenderEventParameter:
  case AURenderEventParameterRamp: // a ramp jumps to its end value
    kernel.setParameter(event.parameter.parameterAddress, event.parameter.value);
    break;
  case AURenderEventMIDI: {
    const std::size_t length = std::min<std::size_t>(event.MIDI.length, 3);
    if (length >= 1)
      dsp::applyMIDIMessage(kernel, event.MIDI.data, length);
    break;
  }
  default: // system exclusive and MIDI event lists
    break;
  }
}

// The frame of the call an event applies at: its sample time less the call's, kept inside the
// call, so that late events apply at the first frame and ones past the end at the last.
class EventFrames {
public:
  EventFrames(const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount) noexcept
      : start_(callStartOf(timestamp)), last_(frameCount > 0 ? frameCount - 1 : 0) {}

  AUAudioFrameCount operator()(const AURenderEvent& event) const noexcept {
    const AUEventSampleTime time = event.head.eventSampleTime;
    if (time <= start_)
      return 0;
    // Unsigned: the distance between two far-apart times overflows a signed difference.
    const std::uint64_t offset =
        static_cast<std::uint64_t>(time) - static_cast<std::uint64_t>(start_);
    return offset < last_ ? static_cast<AUAudioFrameCount>(offset) : last_;
  }

private:
  // Read as the render wrapper reads it; without a time, every event is at the first frame.
  static AUEventSampleTime callStartOf(const AudioTimeStamp* timestamp) noexcept {
    constexpr double kLimit = 4611686018427387904.0; // 2^62, as the wrapper clamps
    const double time = timestamp ? std::floor(timestamp->mSampleTime) : std::nan("");
    if (std::isnan(time))
      return std::numeric_limits<AUEventSampleTime>::max();
    return static_cast<AUEventSampleTime>(std::clamp(time, -kLimit, kLimit));
  }

  AUEventSampleTime start_;
  AUAudioFrameCount last_;
};

struct StereoOutput {
  float* left;
  float* right;
  AUAudioFrameCount frames;
};

// The two channels to render into, the host's or, for buffers without memory, the unit's own
// (as hosts expect of audio units), and never longer than a buffer the host sized too small.
// Nothing without two buffers: a single one is silenced.
std::optional<StereoOutput> stereoOutputOf(AudioBufferList* output, QuorvaneRenderBuffers& buffers,
                                           AUAudioFrameCount frameCount) noexcept {
  if (!output)
    return std::nullopt;
  if (output->mNumberBuffers < 2) {
    for (std::uint32_t i = 0; i < output->mNumberBuffers; ++i)
      if (output->mBuffers[i].mData)
        std::memset(output->mBuffers[i].mData, 0, output->mBuffers[i].mDataByteSize);
    return std::nullopt;
  }
  std::vector<float>* own[2] = {&buffers.left, &buffers.right};
  bool supplied[2] = {false, false};
  AUAudioFrameCount frames = frameCount;
  for (int c = 0; c < 2; ++c) {
    AudioBuffer& buffer = output->mBuffers[c];
    if (!buffer.mData) {
      buffer.mData = own[c]->data();
      buffer.mDataByteSize = static_cast<std::uint32_t>(own[c]->size() * sizeof(float));
      supplied[c] = true;
    }
    frames = std::min<AUAudioFrameCount>(frames, buffer.mDataByteSize / sizeof(float));
  }
  for (int c = 0; c < 2; ++c)
    if (supplied[c])
      output->mBuffers[c].mDataByteSize = frames * static_cast<std::uint32_t>(sizeof(float));
  return StereoOutput{output->channel(0), output->channel(1), frames};
}

} // namespace

AUInternalRenderBlock makeQuorvaneRenderBlock(std::shared_ptr<QuorvaneDSPKernel> kernel,
                                              std::shared_ptr<QuorvaneRenderBuffers> buffers) {
  return [kernel = std::move(kernel), buffers = std::move(buffers)](
             AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp,
             AUAudioFrameCount frameCount, long, AudioBufferList* output,
             const AURenderEvent* events, const AURenderPullInputBlock&) -> OSStatus {
    const AURenderEvent* event = events;
    const std::optional<StereoOutput> out = stereoOutputOf(output, *buffers, frameCount);
    if (out) {
      // Each piece between two event frames is rendered as a call of its own length would be,
      // so a call whose events all fall on its first frame renders as one piece, and the
      // engine's per-call work (modulation, smoothing, filter settings) keeps its meaning.
      const EventFrames frameOf(timestamp, frameCount);
      AUAudioFrameCount done = 0;
      do {
        for (; event && frameOf(*event) <= done; event = event->head.next)
          applyEvent(*kernel, *event);
        const AUAudioFrameCount end = event ? std::min(frameOf(*event), out->frames) : out->frames;
        kernel->renderFrames(out->left + done, out->right + done, static_cast<int>(end - done));
        done = end;
      } while (done < out->frames);
    }
    // With nothing rendered, or past the end of a buffer sized too small, events still count.
    for (; event; event = event->head.next)
      applyEvent(*kernel, *event);
    return noErr;
  };
}

} // namespace quorvane::unit
